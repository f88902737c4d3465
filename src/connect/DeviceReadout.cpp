#include "connect/DeviceReadout.h"

#include <vector>

#include "connect/Exchange.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"

namespace tessaly::connect {
namespace {

constexpr int kReplyData = 4;  // data bytes of a memory read start here
constexpr int kSecondRelease = 114;
constexpr std::array<uint8_t, 4> kUnreadIp{192, 168, 0, 100};

class Reader {
 public:
  Reader(ConnectContext& context, int slot, const ConnectHooks& hooks)
      : context_(context), slot_(slot), hooks_(hooks) {}

  bool Read(uint8_t command, int address, uint8_t length) {
    return Took(ReadMemory(context_.comm, slot_, command, address, length));
  }
  bool Send(uint8_t command, const comm::Params& params) {
    return Took(context_.comm.Exchange(slot_, command, params));
  }
  // `length` data bytes of the last reply, zeros where it holds none.
  std::vector<uint8_t> Data(int length) const {
    std::vector<uint8_t> data(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) data[static_cast<size_t>(i)] = last_.Byte(kReplyData + i);
    return data;
  }
  const comm::ExchangeResult& last() const { return last_; }
  int exchanges() const { return exchanges_; }

 private:
  bool Took(comm::ExchangeResult result) {
    last_ = std::move(result);
    if (!last_.answered()) return false;
    ++exchanges_;
    hooks_.Progress(exchanges_, kReadoutProgressMax);
    return true;
  }

  ConnectContext& context_;
  int slot_;
  const ConnectHooks& hooks_;
  int exchanges_ = 0;
  comm::ExchangeResult last_;
};

bool ReadSettings(Reader& reader, protocol::ProgramData& data, int address, int length) {
  if (!reader.Read(device::kCmdReadSettings, address, static_cast<uint8_t>(length))) return false;
  const auto bytes = reader.Data(length);
  for (int i = 0; i < length; ++i) data.SetTail(address + i, bytes[static_cast<size_t>(i)]);
  return true;
}

void DecodeSettings(const protocol::ProgramData& data, protocol::SlotState& state,
                    QString& device_name) {
  QByteArray name;
  for (int i = 0; i < 16; ++i) name.append(static_cast<char>(data.Tail(i).value_or(' ')));
  device_name = QString::fromLatin1(name);
  const auto tail = [&](int index) { return data.Tail(index).value_or(0); };
  state.standby = tail(protocol::kTailStandby);
  state.sleep_mode = tail(protocol::kTailSleepMode);
  state.delay_unit = tail(protocol::kTailDelayUnit);
  state.noise_type = tail(protocol::kTailNoiseType);
  state.noise_level = tail(protocol::kTailNoiseLevel);
  state.meter_mode = tail(protocol::kTailMeterMode);
  state.lock = tail(protocol::kTailLock);
  state.password = tail(protocol::kTailPassword);
  for (int i = 0; i < protocol::kTailKeptCount; ++i) {
    state.kept_settings[static_cast<size_t>(i)] = tail(protocol::kTailKeptFirst + i);
  }
}

ReadoutStep Run(ConnectContext& context, int slot, Reader& reader) {
  comm::DeviceTable& table = context.comm.state().table;
  const int type = table.device_type[static_cast<size_t>(slot)];
  const bool family_b = device::IsFamilyB(type);
  protocol::ProgramData* data = context.store.Data(slot);
  protocol::SlotState* state = context.store.State(slot);
  programs::ProgramNameList* names = context.names.At(slot);
  if (data == nullptr || state == nullptr || names == nullptr) return ReadoutStep::kImage;

  for (int address = 0; address < data->image_size(); address += kReadBlock) {
    if (!reader.Read(device::kCmdReadParams, address, kReadBlock)) return ReadoutStep::kImage;
    data->Write(address, reader.Data(kReadBlock));
  }
  context.store.NotifyProgramChanged(slot);

  QString& firmware = table.firmware_version[static_cast<size_t>(slot)];
  QString& second = table.second_version[static_cast<size_t>(slot)];
  firmware = QString::fromLatin1(kPresetFirmwareVersion);
  second = QString::fromLatin1(kPresetSecondVersion);
  if (!reader.Send(device::kCmdVersions, {})) return ReadoutStep::kVersions;
  const auto version = reader.Data(6);
  firmware = FirmwareVersionText(version[0], version[1], version[2]);
  second = SecondVersionText(version[3], version[4], version[5]);

  for (int address = 0; address < kSettingsReadEnd; address += kSettingsBlock) {
    if (!ReadSettings(reader, *data, address, kSettingsBlock)) return ReadoutStep::kSettings;
  }
  DecodeSettings(*data, *state, table.device_name[static_cast<size_t>(slot)]);

  // Only the RK-540 and the 540S can tell their address.
  if (type == device::kTypeRk540 || type == device::kType540S) {
    if (!reader.Read(device::kCmdReadSettings, kSettingsIpAddress, 8)) {
      return ReadoutStep::kIpAddress;
    }
    const auto ip = reader.Data(4);
    std::copy(ip.begin(), ip.end(), state->ip.begin());
  } else {
    state->ip = kUnreadIp;
  }

  if (family_b && !ReadSettings(reader, *data, kSettingsRouting, kSettingsBlock)) {
    return ReadoutStep::kRouting;
  }

  const int last_program = device::LastProgramIndex(type);
  for (int first = 0; first <= last_program; first += kProgramStride8) {
    if (!reader.Send(device::kCmdProgramStatus,
                     {static_cast<uint8_t>(first), 0, 0, 0, 0, 0, 0, 0})) {
      return ReadoutStep::kProgramStatus;
    }
    const auto status = reader.Data(kProgramStride8);
    for (int i = 0; i < kProgramStride8 && first + i < programs::kMaxPrograms; ++i) {
      names->program_status[static_cast<size_t>(first + i)] = status[static_cast<size_t>(i)];
    }
  }

  for (int p = 0; p <= last_program && p < programs::kMaxPrograms; ++p) {
    QString& name = names->program_name[static_cast<size_t>(p)];
    if (!programs::ProgramNameList::IsStored(names->program_status[static_cast<size_t>(p)])) {
      name = QString::fromLatin1(programs::kEmptyProgramName);
      continue;
    }
    const int address = family_b ? kProgramNameBaseB + protocol::kImageSizeB * p
                                 : kProgramNameBaseA + protocol::kImageSizeA * p;
    if (!reader.Read(device::kCmdReadSettings, address, kSettingsBlock)) {
      return ReadoutStep::kProgramNames;
    }
    name = NameFromReply(reader.last());
  }

  if (!reader.Read(device::kCmdReadSettings, family_b ? kCurrentNameAddressB : kCurrentNameAddressA,
                   kSettingsBlock)) {
    return ReadoutStep::kCurrentName;
  }
  names->current_program_name = NameFromReply(reader.last());

  if (!reader.Read(device::kCmdReadSettings, kSettingsSleepTable, kSettingsBlock)) {
    return ReadoutStep::kSleepTable;
  }
  const auto sleep = reader.Data(programs::kSleepTableSize);
  programs::SleepTable* sleep_table = context.sleep.At(slot);
  if (sleep_table == nullptr) return ReadoutStep::kSleepTable;
  std::copy(sleep.begin(), sleep.end(), sleep_table->bytes.begin());
  return ReadoutStep::kDone;
}

}  // namespace

QString FirmwareVersionText(uint8_t major, uint8_t minor, uint8_t patch) {
  QString text = QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch);
  if (major * 100 + minor * 10 + patch >= kSecondRelease) text += QStringLiteral("-B");
  return text;
}

QString SecondVersionText(uint8_t major, uint8_t minor, uint8_t patch) {
  return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch);
}

ReadoutResult ReadDevice(ConnectContext& context, int slot, const ConnectHooks& hooks) {
  Reader reader(context, slot, hooks);
  ReadoutResult result;
  result.stopped_at = comm::IsValidSlot(slot) ? Run(context, slot, reader) : ReadoutStep::kImage;
  result.exchanges = reader.exchanges();
  return result;
}

}  // namespace tessaly::connect
