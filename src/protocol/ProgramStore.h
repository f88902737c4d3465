#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <optional>

#include "device/Slots.h"
#include "device/Transmitter.h"
#include "protocol/ProgramData.h"
#include "protocol/SlotState.h"

namespace tessaly::protocol {

// The program records and editor-side state of all 33 slots for one run, and the one place that
// tells views a parameter changed. Each family has its own table of records; a slot's
// DeviceType picks the one in use. Tests create their own.
class ProgramStore : public QObject {
  Q_OBJECT

 public:
  explicit ProgramStore(device::Transmitter& transmitter, QObject* parent = nullptr);

  device::Transmitter& transmitter() { return transmitter_; }

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

  // One packet to the slot through the transmitter: nothing goes out while the flags or the slot
  // forbid it.
  int16_t Transmit(int slot, uint8_t command, const device::Params& params);

  void NotifyChannelChanged(int slot, int channel) { emit channelChanged(slot, channel); }
  void NotifyDeviceSettingsChanged(int slot) { emit deviceSettingsChanged(slot); }
  void NotifyProgramChanged(int slot) { emit programChanged(slot); }

 signals:
  // A parameter of one channel changed in the image or the slot state (edit, linking, copy).
  void channelChanged(int slot, int channel);
  // A device-wide setting changed (speaker drive, input mode, noise generator, standby, sleep,
  // meter mode, line out, link flags, delay unit).
  void deviceSettingsChanged(int slot);
  // The whole image was replaced (read-out, recall, preset or project load, reset).
  void programChanged(int slot);

 private:
  device::Transmitter& transmitter_;
  std::array<ProgramData, device::kSlotCount> data_a_;
  std::array<ProgramData, device::kSlotCount> data_b_;
  std::array<SlotState, device::kSlotCount> state_;
};

}  // namespace tessaly::protocol
