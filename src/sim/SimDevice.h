#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "sim/SimFaults.h"
#include "sim/SimMeters.h"

namespace tessaly::sim {

// The model as printed on the device: type 3 is the 540S variant.
QString SimModelName(int type);

// What the transport does with one received packet.
struct SimReply {
  QByteArray bytes;  // empty: nothing is sent
  int delay_ms = 0;
  bool disconnect = false;  // drop the link instead of answering
  bool drop_after = false;  // drop the link once `bytes` have left
};

struct SimVersions {
  std::array<uint8_t, 3> firmware = {1, 1, 5};
  std::array<uint8_t, 3> second = {1, 0, 4};
};

// One emulated device: its memories and how it answers each request. No I/O here; a transport
// feeds it packets and sends what it returns. Every member is safe to call from any thread, so
// tests may read and change the memories while the device runs on the emulator's thread; the
// accessors return copies.
class SimDevice {
 public:
  explicit SimDevice(int type);

  int type() const { return type_; }
  bool family_b() const;
  int image_size() const;
  int program_count() const;
  int program_base() const;
  int program_name_offset() const;

  // Records the packet and works out the answer, the fault switches applied. A silent device
  // hears the packet but does not act on it.
  SimReply Receive(const QByteArray& packet);

  // The program currently running (the edit buffer).
  QByteArray Image() const;
  bool SetImage(const QByteArray& image);

  // The settings memory, addresses 0 to 849.
  QByteArray Settings() const;
  bool WriteSettings(int address, const QByteArray& bytes);
  QString Name() const;
  // Padded with blanks or cut to 16 characters.
  void SetName(const QString& name);
  // The address the device reports for itself (settings 40..43).
  std::array<uint8_t, 4> IpAddress() const;
  void SetIpAddress(const std::array<uint8_t, 4>& octets);

  // The memory as commands 95, 94 and 17 see it: settings below the program base, program slots
  // from there on. Bytes past the last slot read as 0 and ignore writes.
  QByteArray ReadMemory(int address, int length) const;
  void WriteMemory(int address, const QByteArray& bytes);

  // Program slots 0 to LastProgramIndex of the type.
  QByteArray Program(int slot) const;
  // Stores a whole image into a slot and marks it occupied (its program-number byte = slot).
  bool StoreProgram(int slot, const QByteArray& image);
  bool ClearProgram(int slot);
  // The slot's program-number byte: its own number when occupied, 255 when empty or no slot.
  uint8_t ProgramStatus(int slot) const;
  QString ProgramName(int slot) const;
  // Stores the default image under the names "Preset 01" .. into the first `count` slots.
  void FillPrograms(int count);

  SimVersions Versions() const;
  void SetVersions(const SimVersions& versions);

  // What the moving meters play; restarts their sequence.
  void SetMeterConfig(const SimMeterConfig& config);
  // Fixes the bytes between the header and the end marker of the meter reply (28 bytes for
  // family A, 37 for family B); an empty array brings back the moving levels.
  void SetMeterPayload(const QByteArray& payload);

  // Packets heard since start or the last ClearReceived, complete and in order.
  QList<QByteArray> ReceivedPackets() const;
  QList<uint8_t> ReceivedCommands() const;
  int ReceivedCount() const;
  void ClearReceived();

  // Keeps the memories (running program, settings, program slots) in `path`: a file that holds
  // them is read now, and every change is written back, so a restarted emulator holds what it
  // held. False, with the reason, when the file cannot be read as this type's memories or
  // cannot be written.
  bool KeepMemoryIn(const QString& path, QString* error);

  SimFaults Faults() const;
  void SetFaults(const SimFaults& faults);
  void ClearFaults() { SetFaults({}); }
  void SetSilent(bool silent);
  void SetSilentAfter(int packets);
  void SetDelayMs(int delay_ms);
  void SetTruncate(int bytes);
  void DisconnectOnNextPacket();
  void SetGarbage(int bytes);
  void SetCut(int bytes);

 private:
  QByteArray Answer(const QByteArray& packet);
  QByteArray MemoryReadReply(const QByteArray& packet, bool settings_space) const;
  QByteArray MeterReply(const QByteArray& packet);
  QByteArray ReadMemoryLocked(int address, int length) const;
  void WriteMemoryLocked(int address, const QByteArray& bytes);
  void WriteImageLocked(int offset, const QByteArray& bytes);
  void SetCurrentNameLocked(const QByteArray& program);
  bool StoreProgramLocked(int slot, const QByteArray& image);
  QByteArray MemoryLocked() const;
  bool SaveMemoryLocked();
  bool Dropped() const;

  const int type_;
  mutable std::mutex mutex_;
  QByteArray image_;
  QByteArray settings_;
  std::vector<QByteArray> programs_;
  SimVersions versions_;
  QByteArray meter_payload_;
  SimMeters meters_;
  QList<QByteArray> received_;
  SimFaults faults_;
  std::chrono::steady_clock::time_point faults_since_ = std::chrono::steady_clock::now();
  QString memory_file_;
  QByteArray saved_memory_;
};

}  // namespace tessaly::sim
