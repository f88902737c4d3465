#include "programs/ProgramMemory.h"

#include <algorithm>
#include <vector>

#include "comm/Comm.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramNames.h"
#include "programs/WholeProgram.h"
#include "protocol/ProgramStore.h"

namespace tessaly::programs {
namespace {

constexpr int kProgramBaseA = 512;
constexpr int kProgramBaseB = 768;
constexpr int kEditBlock = 32;
constexpr int kReplyData = device::kReplyDataStart;
// The last four image bytes, which hold the program number, go out with one command 40.
constexpr int kFourBytes = 4;

struct Block {
  int offset;
  int length;
};

// Family A reads its 352 bytes in five 64-byte blocks and a 32-byte one; family B in 32s.
std::vector<Block> ReadBlocks(int type) {
  std::vector<Block> blocks;
  if (device::IsFamilyB(type)) {
    for (int offset = 0; offset < protocol::kImageSizeB; offset += kEditBlock) {
      blocks.push_back({offset, kEditBlock});
    }
  } else {
    for (int offset = 0; offset < 320; offset += 64) blocks.push_back({offset, 64});
    blocks.push_back({320, kEditBlock});
  }
  return blocks;
}

int ImageSize(int type) {
  return device::IsFamilyB(type) ? protocol::kImageSizeB : protocol::kImageSizeA;
}

bool Occupied(const QByteArray& record, int type) {
  const int at = ImageSize(type) - 1;
  return at < record.size() && static_cast<uint8_t>(record[at]) <= kLastOccupiedStatus;
}

using comm::AddressParams;

QString NameOf(const QByteArray& record, int type) {
  const int at = device::IsFamilyB(type) ? protocol::family_b::kName : protocol::family_a::kName;
  return QString::fromLatin1(record.mid(at, kProgramNameLength));
}

}  // namespace

int ProgramAddress(int device_type, int program, int offset) {
  const bool b = device::IsFamilyB(device_type);
  return (b ? kProgramBaseB : kProgramBaseA) + ImageSize(device_type) * program + offset;
}

QString ProgramNumberText(int program) {
  return QStringLiteral("%1").arg(program + 1, 2, 10, QLatin1Char('0'));
}

ProgramMemory::ProgramMemory(comm::Comm& comm, protocol::ProgramStore& store, WholeProgram& whole,
                             ProgramNames& names)
    : comm_(comm), store_(store), whole_(whole), names_(names) {}

bool ProgramMemory::Write(int slot, uint8_t command, const device::Params& params,
                          TransferResult& result, std::span<const uint8_t> data) {
  const comm::ExchangeResult sent = comm_.Exchange(slot, command, params, data);
  if (!sent.answered() && !sent.held()) {
    result.status = TransferStatus::kFailed;
    return false;
  }
  ++result.exchanges;
  return true;
}

std::optional<QByteArray> ProgramMemory::Read(int slot, uint8_t command, int address, int length,
                                              TransferResult& result) {
  const comm::ExchangeResult read = comm_.Exchange(slot, command, AddressParams(address, length));
  if (!read.answered() || read.Bytes(kReplyData, length).empty()) {
    result.status = TransferStatus::kFailed;
    return std::nullopt;
  }
  ++result.exchanges;
  return read.reply().mid(kReplyData, length);
}

std::optional<ProgramMemory::ProgramSlot> ProgramMemory::ProgramSlotOf(int slot, int program) {
  protocol::ProgramData* data = store_.Data(slot);
  ProgramNameList* names = names_.At(slot);
  const auto type = store_.DeviceType(slot);
  if (data == nullptr || names == nullptr || !type || program < 0 ||
      program > device::LastProgramIndex(*type)) {
    return std::nullopt;
  }
  return ProgramSlot{data, names};
}

TransferResult ProgramMemory::Store(int slot, int program, const QString& name,
                                    const TransferProgress& progress) {
  TransferResult result;
  const std::optional<ProgramSlot> target = ProgramSlotOf(slot, program);
  if (!target) return result;
  protocol::ProgramData* data = target->data;
  ProgramNameList* names = target->names;
  if (name.isEmpty() || name == QStringLiteral(" ")) {
    result.message = QString::fromLatin1(kInputNameText);
    return result;
  }
  const protocol::Layout& layout = data->layout();
  data->SetName(name);
  const auto p = static_cast<size_t>(program);
  names->program_name[p] = data->Name();
  const int number_byte = layout.image_size - 1;
  data->Set(number_byte, static_cast<uint8_t>(program));
  names->program_status[p] = program;

  int step = 0;
  const auto advance = [&] { return !progress || progress(++step, kStoreProgressMax, {}); };
  const std::vector<uint8_t> name_bytes = data->Read(layout.name, kProgramNameLength);
  if (!Write(slot, device::kCmdWriteBlock, AddressParams(layout.name, kProgramNameLength), result,
             name_bytes)) {
    return result;
  }
  advance();
  const int four = layout.image_size - kFourBytes;
  device::Params p40 = AddressParams(four, 0);
  for (int i = 0; i < kFourBytes; ++i) p40[4 + i] = data->Get(four + i).value_or(0);
  if (!Write(slot, device::kCmdWriteFour, p40, result)) return result;
  advance();
  device::Params p42{};
  p42[0] = static_cast<uint8_t>(program);
  if (!Write(slot, device::kCmdStoreProgram, p42, result)) return result;
  advance();
  names->current_program_name = names->program_name[p];
  result.status = TransferStatus::kDone;
  result.programs_done = 1;
  return result;
}

QString ProgramMemory::WhyNoRecall(int slot) const {
  // Held packets would read back nothing: the recall would end without a word.
  if (comm_.suspended()) {
    return QStringLiteral(
        "Demonstration mode: there is no device to recall a program from, so nothing was "
        "recalled.");
  }
  if (comm_.Holds(slot)) {
    return QStringLiteral("The device is not on-line, so nothing was recalled.");
  }
  return {};
}

TransferResult ProgramMemory::Recall(int slot, int program, std::optional<int> page_channel,
                                     const TransferProgress& progress) {
  TransferResult result;
  const std::optional<ProgramSlot> target = ProgramSlotOf(slot, program);
  if (!target) return result;
  protocol::ProgramData* data = target->data;
  ProgramNameList* names = target->names;
  const auto p = static_cast<size_t>(program);
  if (!ProgramNameList::IsStored(names->program_status[p])) {
    result.message = QString::fromLatin1(kProgramEmptyText);
    return result;
  }
  result.message = WhyNoRecall(slot);
  if (!result.message.isEmpty()) return result;
  const int total = protocol::kImageSizeB / kEditBlock + 4;
  int step = 0;
  const auto advance = [&] { return !progress || progress(++step, total, {}); };
  device::Params p27{};
  p27[0] = static_cast<uint8_t>(program);
  if (!Write(slot, device::kCmdRecallProgram, p27, result)) return result;
  advance();
  // Bytes land in the record only once the whole buffer is in: a lost block keeps the old image.
  std::vector<uint8_t> image(static_cast<size_t>(data->image_size()));
  for (int offset = 0; offset < data->image_size(); offset += kEditBlock) {
    const auto bytes = Read(slot, device::kCmdReadParams, offset, kEditBlock, result);
    if (!bytes) return result;
    std::copy(bytes->begin(), bytes->end(), image.begin() + offset);
    advance();
  }
  data->Write(0, image);
  whole_.DisplayWholeImage(slot, page_channel);
  names->current_program_name = names->program_name[p];
  result.status = TransferStatus::kDone;
  result.programs_done = 1;
  return result;
}

bool ProgramMemory::ReadProgram(int slot, int type, int program, QByteArray& record,
                                TransferResult& result, const std::function<bool()>& step) {
  QByteArray read = record;
  read.resize(ImageSize(type) + 1, '\0');
  for (const Block& block : ReadBlocks(type)) {
    if (!step()) {
      result.status = TransferStatus::kCancelled;
      return false;
    }
    const int address = ProgramAddress(type, program, block.offset);
    const auto bytes = Read(slot, device::kCmdReadSettings, address, block.length, result);
    if (!bytes) return false;
    for (int i = 0; i < block.length; ++i) read[block.offset + i] = (*bytes)[i];
  }
  record = read;
  return true;
}

TransferResult ProgramMemory::ReadAll(int slot, ProjectBuffer& buffer,
                                      const TransferProgress& progress) {
  TransferResult result;
  const ProgramNameList* names = names_.At(slot);
  const auto type = store_.DeviceType(slot);
  const FileType* file_type = type ? FileTypeOf(*type) : nullptr;
  if (names == nullptr || file_type == nullptr) return result;
  const int count = file_type->program_count;
  const int blocks = static_cast<int>(ReadBlocks(*type).size());
  int total = 0;
  for (int p = 0; p < count; ++p) {
    if (ProgramNameList::IsStored(names->program_status[static_cast<size_t>(p)])) total += blocks;
  }
  ProjectBuffer read(static_cast<size_t>(count));
  int done = 0;
  for (int p = 0; p < count; ++p) {
    QByteArray& record = read[static_cast<size_t>(p)];
    if (!ProgramNameList::IsStored(names->program_status[static_cast<size_t>(p)])) {
      record = EmptyProjectRecord(*type);
      continue;
    }
    const QString label = QStringLiteral("Reading program ") + ProgramNumberText(p);
    const auto step = [&] { return !progress || progress(done++, total, label); };
    if (!ReadProgram(slot, *type, p, record, result, step)) return result;
    ++result.programs_done;
  }
  if (progress) progress(total, total, {});
  buffer = std::move(read);
  result.status = TransferStatus::kDone;
  return result;
}

TransferResult ProgramMemory::WriteAll(int slot, const ProjectBuffer& buffer,
                                       const TransferProgress& progress) {
  TransferResult result;
  ProgramNameList* names = names_.At(slot);
  const auto type = store_.DeviceType(slot);
  const FileType* file_type = type ? FileTypeOf(*type) : nullptr;
  if (names == nullptr || file_type == nullptr ||
      static_cast<int>(buffer.size()) < file_type->program_count) {
    return result;
  }
  const int count = file_type->program_count;
  const int image_size = ImageSize(*type);
  const int blocks = image_size / kEditBlock;
  int total = 0;
  for (int p = 0; p < count; ++p)
    total += Occupied(buffer[static_cast<size_t>(p)], *type) ? blocks : 1;
  int done = 0;
  for (int p = 0; p < count; ++p) {
    QByteArray record = buffer[static_cast<size_t>(p)];
    record.resize(image_size + 1, '\0');
    const auto index = static_cast<size_t>(p);
    const QString label = QStringLiteral("Store program ") + ProgramNumberText(p);
    const auto step = [&] { return !progress || progress(done++, total, label); };
    if (!Occupied(record, *type)) {
      if (!step()) {
        result.status = TransferStatus::kCancelled;
        return result;
      }
      device::Params p17 = AddressParams(ProgramAddress(*type, p, image_size - 1), 0);
      p17[4] = kEmptySlotMark;
      if (!Write(slot, device::kCmdWriteSetting, p17, result)) return result;
      names->program_status[index] = kEmptySlotMark;
      names->program_name[index] = QString::fromLatin1(kEmptyProgramName);
      ++result.programs_done;
      continue;
    }
    for (int offset = 0; offset < image_size; offset += kEditBlock) {
      if (!step()) {
        result.status = TransferStatus::kCancelled;
        return result;
      }
      const auto block = std::span<const uint8_t>(
          reinterpret_cast<const uint8_t*>(record.constData()) + offset, kEditBlock);
      const int address = ProgramAddress(*type, p, offset);
      if (!Write(slot, device::kCmdDataBlock, AddressParams(address, kEditBlock), result, block)) {
        return result;
      }
    }
    names->program_status[index] = static_cast<uint8_t>(record[image_size - 1]);
    names->program_name[index] = NameOf(record, *type);
    ++result.programs_done;
  }
  if (progress) progress(total, total, {});
  result.status = TransferStatus::kDone;
  return result;
}

TransferResult ProgramMemory::Verify(int slot, const ProjectBuffer& sent,
                                     const TransferProgress& progress) {
  TransferResult result;
  const auto type = store_.DeviceType(slot);
  const FileType* file_type = type ? FileTypeOf(*type) : nullptr;
  if (file_type == nullptr || static_cast<int>(sent.size()) < file_type->program_count) {
    return result;
  }
  const int count = file_type->program_count;
  const int image_size = ImageSize(*type);
  const int total = count * static_cast<int>(ReadBlocks(*type).size());
  int done = 0;
  for (int p = 0; p < count; ++p) {
    QByteArray expected = sent[static_cast<size_t>(p)];
    expected.resize(image_size + 1, '\0');
    QByteArray read;
    const QString label = QStringLiteral("Verify program ") + ProgramNumberText(p);
    const auto step = [&] { return !progress || progress(done++, total, label); };
    if (!ReadProgram(slot, *type, p, read, result, step)) return result;
    // An empty slot is only its program-number byte; the device keeps whatever else it held.
    const int first = Occupied(expected, *type) ? 0 : image_size - 1;
    for (int i = first; i < image_size; ++i) {
      if (read[i] != expected[i]) {
        result.status = TransferStatus::kFailed;
        result.message = QStringLiteral("Program %1 differs from what was sent at byte %2.")
                             .arg(ProgramNumberText(p))
                             .arg(i);
        return result;
      }
    }
    ++result.programs_done;
  }
  if (progress) progress(total, total, {});
  result.status = TransferStatus::kDone;
  return result;
}

TransferResult ProgramMemory::VerifyEditBuffer(int slot) {
  TransferResult result;
  const protocol::ProgramData* data = store_.Data(slot);
  if (data == nullptr) return result;
  const std::span<const uint8_t> image = data->Image();
  for (int offset = 0; offset < data->image_size(); offset += kEditBlock) {
    const auto bytes = Read(slot, device::kCmdReadParams, offset, kEditBlock, result);
    if (!bytes) return result;
    for (int i = 0; i < kEditBlock; ++i) {
      if (static_cast<uint8_t>((*bytes)[i]) != image[static_cast<size_t>(offset + i)]) {
        result.status = TransferStatus::kFailed;
        result.message = QStringLiteral("The device's program differs from the preset at byte %1.")
                             .arg(offset + i);
        return result;
      }
    }
  }
  result.status = TransferStatus::kDone;
  return result;
}

}  // namespace tessaly::programs
