#include "sim/SimDevice.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <span>

#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "device/PacketFormat.h"
#include "protocol/DefaultImage.h"
#include "sim/ParameterDecoder.h"
#include "sim/SimChannelCopy.h"
#include "sim/SimLayout.h"

namespace tessaly::sim {
namespace {

// Commands the device itself acts on beyond the read-out and meter commands.

constexpr int kHeaderSize = 4;
// A memory file starts with this tag and the type code, then the running program, the settings
// and every program slot.
constexpr const char* kMemoryFileTag = "TESSALY-SIM-MEMORY-1\n";
constexpr int kStatusPerRead = 8;

uint8_t Byte(const QByteArray& bytes, int index) {
  return index >= 0 && index < bytes.size() ? static_cast<uint8_t>(bytes[index]) : 0;
}

int Address(const QByteArray& packet) { return Byte(packet, 4) * 256 + Byte(packet, 5); }

QByteArray Frame(uint8_t address, uint8_t command, int total_length) {
  QByteArray reply(total_length, '\0');
  reply[0] = static_cast<char>((device::kLengthBase + total_length) & 0xFF);
  reply[1] = static_cast<char>(device::kPacketTag);
  reply[2] = static_cast<char>(address);
  reply[3] = static_cast<char>(command);
  reply[total_length - 1] = static_cast<char>(device::kEndMarker);
  return reply;
}

// A plain answer echoes the request's parameters; callers overwrite the bytes they carry.
QByteArray PlainReply(const QByteArray& packet) {
  QByteArray reply = Frame(Byte(packet, 2), Byte(packet, 3), device::kPlainPacketLength);
  const int echoed = device::IsDataBlockCommand(Byte(packet, 3)) ? 3 : 8;
  for (int i = 0; i < echoed; ++i) reply[kHeaderSize + i] = static_cast<char>(Byte(packet, 4 + i));
  return reply;
}

QByteArray Pad(const QString& text, int length) {
  QByteArray bytes = text.toLatin1().left(length);
  while (bytes.size() < length) bytes.append(' ');
  return bytes;
}

// Overwrites in place; never grows or shrinks the target.
void Put(QByteArray& target, int at, const QByteArray& bytes) {
  for (int i = 0; i < bytes.size(); ++i) {
    if (at + i >= 0 && at + i < target.size()) target[at + i] = bytes[i];
  }
}

QByteArray Junk(int count) {
  QByteArray junk(count, '\0');
  for (int i = 0; i < count; ++i) junk[i] = static_cast<char>(0xA5 ^ (i * 37));
  return junk;
}

}  // namespace

QString SimModelName(int type) {
  return type == device::kType540S ? QStringLiteral("540S") : device::ModelName(type).trimmed();
}

SimDevice::SimDevice(int type)
    : type_(device::IsValidType(type) ? type : device::kTypeRk540), settings_(kSettingsSize, '\0') {
  image_ = protocol::DefaultImage(type_);
  image_.resize(image_size(), '\0');

  Put(settings_, kNameAddress, Pad(SimModelName(type_), kNameLength));
  settings_[kDelayUnitAddress] = 1;
  settings_[kMeterModeAddress] = 2;
  const std::array<uint8_t, 4> ip = {192, 168, 0, 100};
  for (int i = 0; i < 4; ++i) settings_[kIpAddress + i] = static_cast<char>(ip[i]);
  // A sleep table that is not all zero, so a read-out shows something to decode.
  for (int k = 0; k < kSleepTableLength / 3; ++k) {
    settings_[kSleepTableAddress + 3 * k] = 0;
    settings_[kSleepTableAddress + 3 * k + 1] = static_cast<char>(16 * (k + 1));
    settings_[kSleepTableAddress + 3 * k + 2] = static_cast<char>(0x40);
  }
  const int current = family_b() ? kCurrentNameAddressB : kCurrentNameAddressA;
  Put(settings_, current, Pad(QStringLiteral("Factory Preset"), kNameLength));
  if (family_b()) {
    for (int input = 0; input < 4; ++input) {
      for (int source = 0; source < 4; ++source) {
        settings_[kRoutingAddress + 4 * input + source] =
            static_cast<char>(input == source ? kRoutingOn : kRoutingOff);
      }
    }
  }

  QByteArray empty = image_;
  empty[image_size() - 1] = static_cast<char>(kEmptyStatus);
  programs_.assign(static_cast<size_t>(program_count()), empty);
}

bool SimDevice::family_b() const { return device::IsFamilyB(type_); }
int SimDevice::image_size() const {
  return family_b() ? protocol::kImageSizeB : protocol::kImageSizeA;
}
int SimDevice::program_count() const { return device::LastProgramIndex(type_) + 1; }
int SimDevice::program_base() const { return family_b() ? kProgramBaseB : kProgramBaseA; }
int SimDevice::program_name_offset() const {
  return family_b() ? kProgramNameOffsetB : kProgramNameOffsetA;
}

SimReply SimDevice::Receive(const QByteArray& packet) {
  std::lock_guard lock(mutex_);
  received_.append(packet);
  if (faults_.disconnect) {
    faults_.disconnect = false;
    return {.bytes = {}, .delay_ms = 0, .disconnect = true};
  }
  bool mute = faults_.silent || Dropped();
  if (!mute && faults_.silent_after >= 0) {
    if (faults_.silent_after == 0) {
      mute = true;
    } else {
      --faults_.silent_after;
    }
  }
  if (mute) return {};
  SimReply reply;
  reply.bytes = Answer(packet);
  if (!memory_file_.isEmpty()) (void)SaveMemoryLocked();
  if (reply.bytes.isEmpty()) return reply;
  if (faults_.truncate >= 0) reply.bytes.truncate(faults_.truncate);
  reply.bytes.append(Junk(faults_.garbage));
  if (faults_.cut >= 0) {
    reply.bytes.truncate(faults_.cut);
    reply.drop_after = true;
  }
  reply.delay_ms = faults_.delay_ms;
  return reply;
}

QByteArray SimDevice::Answer(const QByteArray& packet) {
  const uint8_t command = Byte(packet, 3);
  QByteArray reply = PlainReply(packet);
  switch (command) {
    case device::kCmdNoReply:
      return {};
    case device::kCmdIdentify:
      reply[8] = static_cast<char>(type_);
      return reply;
    case device::kCmdProbeA:
    case device::kCmdProbeB:
      reply[8] = static_cast<char>(type_);
      reply[11] = static_cast<char>(device::kProbeAck);
      return reply;
    case device::kCmdVersions:
      for (int i = 0; i < 3; ++i) {
        reply[4 + i] = static_cast<char>(versions_.firmware[i]);
        reply[7 + i] = static_cast<char>(versions_.second[i]);
      }
      return reply;
    case device::kCmdProgramStatus: {
      const int first = Byte(packet, 4);
      for (int i = 0; i < kStatusPerRead; ++i) {
        const int slot = first + i;
        const bool exists = slot < program_count();
        reply[4 + i] =
            static_cast<char>(exists ? Byte(programs_[slot], image_size() - 1) : kEmptyStatus);
      }
      return reply;
    }
    case device::kCmdReadParams:
      return MemoryReadReply(packet, false);
    case device::kCmdReadSettings:
      return MemoryReadReply(packet, true);
    case device::kCmdMeters:
      return MeterReply(packet);
    case device::kCmdWriteBlock:
      WriteImageLocked(Address(packet), packet.mid(7, Byte(packet, 6)));
      return reply;
    case device::kCmdDataBlock:
      WriteMemoryLocked(Address(packet), packet.mid(7, Byte(packet, 6)));
      return reply;
    case device::kCmdWriteFour:
      WriteImageLocked(Address(packet), packet.mid(8, 4));
      return reply;
    case device::kCmdWriteSetting:
      WriteMemoryLocked(Address(packet), packet.mid(8, 1));
      return reply;
    case device::kCmdSetIp:
      Put(settings_, kIpAddress, packet.mid(4, 4));
      return reply;
    case device::kCmdLineOut:
      settings_[kStandbyMirrorAddress] = static_cast<char>(Byte(packet, 9));
      image_[family_b() ? kLineOutOffsetB : kLineOutOffsetA] = static_cast<char>(Byte(packet, 10));
      settings_[kTriggerAddress] = static_cast<char>(Byte(packet, 11));
      return reply;
    case device::kCmdSleepGroup: {
      const int group = Byte(packet, 4);
      if (group < kSleepTableLength / 3) {
        Put(settings_, kSleepTableAddress + 3 * group, packet.mid(9, 3));
      }
      return reply;
    }
    case device::kCmdStoreProgram: {
      const int slot = Byte(packet, 4);
      if (StoreProgramLocked(slot, image_)) SetCurrentNameLocked(image_);
      return reply;
    }
    case device::kCmdRecallProgram: {
      const int slot = Byte(packet, 4);
      if (slot < program_count() &&
          Byte(programs_[slot], image_size() - 1) <= kLastOccupiedStatus) {
        image_ = programs_[slot];
        SetCurrentNameLocked(image_);
      }
      return reply;
    }
    case device::kCmdChannelCopy:
      CopyChannel(type_,
                  std::span<uint8_t>(reinterpret_cast<uint8_t*>(image_.data()),
                                     static_cast<size_t>(image_.size())),
                  Byte(packet, 10), Byte(packet, 11));
      return reply;
    case device::kCmdKeepAlive:
    case device::kCmdRelease:
      return reply;
    default: {
      const auto* bytes = reinterpret_cast<const uint8_t*>(packet.constData());
      ApplyParameterCommand(type_,
                            std::span<uint8_t>(reinterpret_cast<uint8_t*>(image_.data()),
                                               static_cast<size_t>(image_.size())),
                            std::span<uint8_t>(reinterpret_cast<uint8_t*>(settings_.data()),
                                               static_cast<size_t>(settings_.size())),
                            std::span<const uint8_t>(bytes, static_cast<size_t>(packet.size())));
      return reply;
    }
  }
}

QByteArray SimDevice::MemoryReadReply(const QByteArray& packet, bool settings_space) const {
  const int length = Byte(packet, 6);
  const int address = Address(packet);
  QByteArray reply = Frame(Byte(packet, 2), Byte(packet, 3), length + 5);
  QByteArray data;
  if (settings_space) {
    data = ReadMemoryLocked(address, length);
  } else {
    data = image_.mid(address, length);
    data.resize(length, '\0');
  }
  Put(reply, kHeaderSize, data);
  return reply;
}

QByteArray SimDevice::MeterReply(const QByteArray& packet) {
  const int total = family_b() ? kMeterReplyB : kMeterReplyA;
  QByteArray reply = Frame(Byte(packet, 2), Byte(packet, 3), total);
  const int payload_size = total - kHeaderSize - 1;
  if (!meter_payload_.isEmpty()) {
    QByteArray fixed = meter_payload_.left(payload_size);
    fixed.resize(payload_size, '\0');
    Put(reply, kHeaderSize, fixed);
    return reply;
  }
  Put(reply, kHeaderSize, meters_.NextPayload(type_, image_, settings_));
  return reply;
}

QByteArray SimDevice::ReadMemoryLocked(int address, int length) const {
  QByteArray data(std::max(length, 0), '\0');
  for (int i = 0; i < length; ++i) {
    const int at = address + i;
    if (at < program_base()) {
      data[i] = settings_[at];
      continue;
    }
    const int slot = (at - program_base()) / image_size();
    if (slot < program_count()) data[i] = programs_[slot][(at - program_base()) % image_size()];
  }
  return data;
}

void SimDevice::WriteMemoryLocked(int address, const QByteArray& bytes) {
  for (int i = 0; i < bytes.size(); ++i) {
    const int at = address + i;
    if (at < 0) continue;
    if (at < program_base()) {
      settings_[at] = bytes[i];
      continue;
    }
    const int slot = (at - program_base()) / image_size();
    if (slot < program_count()) programs_[slot][(at - program_base()) % image_size()] = bytes[i];
  }
}

void SimDevice::WriteImageLocked(int offset, const QByteArray& bytes) {
  for (int i = 0; i < bytes.size(); ++i) {
    const int at = offset + i;
    if (at >= 0 && at < image_.size()) image_[at] = bytes[i];
  }
}

void SimDevice::SetCurrentNameLocked(const QByteArray& program) {
  const int current = family_b() ? kCurrentNameAddressB : kCurrentNameAddressA;
  Put(settings_, current, program.mid(program_name_offset(), kNameLength));
}

bool SimDevice::StoreProgramLocked(int slot, const QByteArray& image) {
  if (slot < 0 || slot >= program_count() || image.size() != image_size()) return false;
  // The device numbers what it stores: that byte is how the PC tells a used slot from an empty one.
  programs_[slot] = image;
  programs_[slot][image_size() - 1] = static_cast<char>(slot);
  return true;
}

QByteArray SimDevice::Image() const {
  std::lock_guard lock(mutex_);
  return image_;
}

bool SimDevice::SetImage(const QByteArray& image) {
  if (image.size() != image_size()) return false;
  std::lock_guard lock(mutex_);
  image_ = image;
  return true;
}

QByteArray SimDevice::Settings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

bool SimDevice::WriteSettings(int address, const QByteArray& bytes) {
  if (address < 0 || address + bytes.size() > kSettingsSize) return false;
  std::lock_guard lock(mutex_);
  Put(settings_, address, bytes);
  return true;
}

QString SimDevice::Name() const {
  std::lock_guard lock(mutex_);
  return QString::fromLatin1(settings_.mid(kNameAddress, kNameLength));
}

void SimDevice::SetName(const QString& name) {
  std::lock_guard lock(mutex_);
  Put(settings_, kNameAddress, Pad(name, kNameLength));
}

std::array<uint8_t, 4> SimDevice::IpAddress() const {
  std::lock_guard lock(mutex_);
  std::array<uint8_t, 4> octets{};
  for (int i = 0; i < 4; ++i) octets[i] = Byte(settings_, kIpAddress + i);
  return octets;
}

void SimDevice::SetIpAddress(const std::array<uint8_t, 4>& octets) {
  std::lock_guard lock(mutex_);
  for (int i = 0; i < 4; ++i) settings_[kIpAddress + i] = static_cast<char>(octets[i]);
}

QByteArray SimDevice::ReadMemory(int address, int length) const {
  std::lock_guard lock(mutex_);
  return ReadMemoryLocked(address, length);
}

void SimDevice::WriteMemory(int address, const QByteArray& bytes) {
  std::lock_guard lock(mutex_);
  WriteMemoryLocked(address, bytes);
}

QByteArray SimDevice::Program(int slot) const {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot >= program_count()) return {};
  return programs_[slot];
}

bool SimDevice::StoreProgram(int slot, const QByteArray& image) {
  std::lock_guard lock(mutex_);
  return StoreProgramLocked(slot, image);
}

bool SimDevice::ClearProgram(int slot) {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot >= program_count()) return false;
  programs_[slot][image_size() - 1] = static_cast<char>(kEmptyStatus);
  return true;
}

uint8_t SimDevice::ProgramStatus(int slot) const {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot >= program_count()) return kEmptyStatus;
  return Byte(programs_[slot], image_size() - 1);
}

QString SimDevice::ProgramName(int slot) const {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot >= program_count()) return {};
  return QString::fromLatin1(programs_[slot].mid(program_name_offset(), kNameLength));
}

void SimDevice::FillPrograms(int count) {
  std::lock_guard lock(mutex_);
  for (int slot = 0; slot < std::min(count, program_count()); ++slot) {
    QByteArray image = protocol::DefaultImage(type_);
    image.resize(image_size(), '\0');
    Put(image, program_name_offset(),
        Pad(QStringLiteral("Preset %1").arg(slot + 1, 2, 10, QLatin1Char('0')), kNameLength));
    StoreProgramLocked(slot, image);
  }
}

SimVersions SimDevice::Versions() const {
  std::lock_guard lock(mutex_);
  return versions_;
}

void SimDevice::SetVersions(const SimVersions& versions) {
  std::lock_guard lock(mutex_);
  versions_ = versions;
}

void SimDevice::SetMeterConfig(const SimMeterConfig& config) {
  std::lock_guard lock(mutex_);
  meters_.Configure(config);
}

void SimDevice::SetMeterPayload(const QByteArray& payload) {
  std::lock_guard lock(mutex_);
  meter_payload_ = payload;
}

QList<QByteArray> SimDevice::ReceivedPackets() const {
  std::lock_guard lock(mutex_);
  return received_;
}

QList<uint8_t> SimDevice::ReceivedCommands() const {
  std::lock_guard lock(mutex_);
  QList<uint8_t> commands;
  for (const QByteArray& packet : received_) commands.append(Byte(packet, 3));
  return commands;
}

int SimDevice::ReceivedCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(received_.size());
}

void SimDevice::ClearReceived() {
  std::lock_guard lock(mutex_);
  received_.clear();
}

SimFaults SimDevice::Faults() const {
  std::lock_guard lock(mutex_);
  return faults_;
}

void SimDevice::SetFaults(const SimFaults& faults) {
  std::lock_guard lock(mutex_);
  faults_ = faults;
  faults_since_ = std::chrono::steady_clock::now();
}

bool SimDevice::Dropped() const {
  if (faults_.drop_after_ms < 0) return false;
  const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - faults_since_)
                         .count();
  return since >= faults_.drop_after_ms && since < faults_.drop_after_ms + faults_.drop_for_ms;
}

QByteArray SimDevice::MemoryLocked() const {
  QByteArray memory = QByteArray(kMemoryFileTag) + char(type_) + image_ + settings_;
  for (const QByteArray& program : programs_) memory += program;
  return memory;
}

bool SimDevice::SaveMemoryLocked() {
  const QByteArray memory = MemoryLocked();
  if (memory == saved_memory_) return true;
  QSaveFile file(memory_file_);
  if (!file.open(QIODevice::WriteOnly) || file.write(memory) != memory.size() || !file.commit()) {
    return false;
  }
  saved_memory_ = memory;
  return true;
}

bool SimDevice::KeepMemoryIn(const QString& path, QString* error) {
  std::lock_guard lock(mutex_);
  const auto fail = [&](const QString& why) {
    if (error) *error = QStringLiteral("memory file %1: %2").arg(path, why);
    return false;
  };
  QFile file(path);
  if (file.exists()) {
    if (!file.open(QIODevice::ReadOnly)) return fail(file.errorString());
    const QByteArray held = file.readAll();
    const QByteArray now = MemoryLocked();
    const int head = static_cast<int>(qstrlen(kMemoryFileTag));
    if (held.size() != now.size() || !held.startsWith(kMemoryFileTag) ||
        static_cast<uint8_t>(held[head]) != type_) {
      return fail(QStringLiteral("not the memories of a device of type %1").arg(type_));
    }
    int at = head + 1;
    const auto take = [&](int count) {
      const QByteArray part = held.mid(at, count);
      at += count;
      return part;
    };
    image_ = take(image_size());
    settings_ = take(kSettingsSize);
    for (QByteArray& program : programs_) program = take(image_size());
  }
  memory_file_ = path;
  saved_memory_.clear();
  if (!SaveMemoryLocked()) return fail(QStringLiteral("cannot be written"));
  return true;
}

void SimDevice::SetSilent(bool silent) {
  std::lock_guard lock(mutex_);
  faults_.silent = silent;
}

void SimDevice::SetSilentAfter(int packets) {
  std::lock_guard lock(mutex_);
  faults_.silent_after = packets;
}

void SimDevice::SetDelayMs(int delay_ms) {
  std::lock_guard lock(mutex_);
  faults_.delay_ms = std::max(delay_ms, 0);
}

void SimDevice::SetTruncate(int bytes) {
  std::lock_guard lock(mutex_);
  faults_.truncate = bytes;
}

void SimDevice::DisconnectOnNextPacket() {
  std::lock_guard lock(mutex_);
  faults_.disconnect = true;
}

void SimDevice::SetGarbage(int bytes) {
  std::lock_guard lock(mutex_);
  faults_.garbage = std::max(bytes, 0);
}

void SimDevice::SetCut(int bytes) {
  std::lock_guard lock(mutex_);
  faults_.cut = std::max(bytes, -1);
}

}  // namespace tessaly::sim
