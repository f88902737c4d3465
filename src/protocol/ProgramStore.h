#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <optional>

#include "comm/Comm.h"
#include "comm/DeviceTable.h"
#include "protocol/ProgramData.h"
#include "protocol/SlotState.h"

namespace tessaly::protocol {

// The program records and editor-side state of all 33 slots for one run, and the one place that
// tells views a parameter changed. Each family has its own table of records; a slot's
// DeviceType picks the one in use. Tests create their own.
class ProgramStore : public QObject {
  Q_OBJECT

 public:
  explicit ProgramStore(comm::Comm& comm, QObject* parent = nullptr);

  comm::Comm& comm() { return comm_; }

  // nullopt for a slot outside 0..32.
  std::optional<int> DeviceType(int slot) const;
  // Family of the slot's DeviceType (family A for an invalid slot, which every accessor refuses
  // anyway).
  Family FamilyOfSlot(int slot) const;

  // The slot's record in the table of its current family; nullptr for a slot outside 0..32.
  ProgramData* Data(int slot);
  const ProgramData* Data(int slot) const;
  ProgramData* Data(int slot, Family family);
  const ProgramData* Data(int slot, Family family) const;
  SlotState* State(int slot);
  const SlotState* State(int slot) const;

  // TxCommand to the slot: nothing goes out while the flags or the slot forbid it.
  int16_t Transmit(int slot, uint8_t command, const comm::Params& params);

  void NotifyChannelChanged(int slot, int channel) { emit ChannelChanged(slot, channel); }
  void NotifyDeviceSettingsChanged(int slot) { emit DeviceSettingsChanged(slot); }
  void NotifyProgramChanged(int slot) { emit ProgramChanged(slot); }

 signals:
  // A parameter of one channel changed in the image or the slot state (edit, linking, copy).
  void ChannelChanged(int slot, int channel);
  // A device-wide setting changed (speaker drive, input mode, noise generator, standby, sleep,
  // meter mode, line out, link flags, delay unit).
  void DeviceSettingsChanged(int slot);
  // The whole image was replaced (read-out, recall, preset or project load, reset).
  void ProgramChanged(int slot);

 private:
  comm::Comm& comm_;
  std::array<ProgramData, comm::kSlotCount> data_a_;
  std::array<ProgramData, comm::kSlotCount> data_b_;
  std::array<SlotState, comm::kSlotCount> state_;
};

}  // namespace tessaly::protocol
