#include "protocol/ProgramStore.h"

namespace tessaly::protocol {

ProgramStore::ProgramStore(device::Transmitter& transmitter, QObject* parent)
    : QObject(parent), transmitter_(transmitter) {
  data_b_.fill(ProgramData(Family::kB));
}

std::optional<int> ProgramStore::DeviceType(int slot) const {
  if (!device::IsValidSlot(slot)) return std::nullopt;
  return transmitter_.DeviceType(slot);
}

Family ProgramStore::FamilyOfSlot(int slot) const { return FamilyOf(DeviceType(slot).value_or(0)); }

ProgramData* ProgramStore::Data(int slot) { return Data(slot, FamilyOfSlot(slot)); }

const ProgramData* ProgramStore::Data(int slot) const { return Data(slot, FamilyOfSlot(slot)); }

ProgramData* ProgramStore::Data(int slot, Family family) {
  if (!device::IsValidSlot(slot)) return nullptr;
  return &(family == Family::kB ? data_b_ : data_a_)[static_cast<size_t>(slot)];
}

const ProgramData* ProgramStore::Data(int slot, Family family) const {
  if (!device::IsValidSlot(slot)) return nullptr;
  return &(family == Family::kB ? data_b_ : data_a_)[static_cast<size_t>(slot)];
}

SlotState* ProgramStore::State(int slot) {
  if (!device::IsValidSlot(slot)) return nullptr;
  return &state_[static_cast<size_t>(slot)];
}

const SlotState* ProgramStore::State(int slot) const {
  if (!device::IsValidSlot(slot)) return nullptr;
  return &state_[static_cast<size_t>(slot)];
}

int16_t ProgramStore::Transmit(int slot, uint8_t command, const device::Params& params) {
  return transmitter_.Transmit(slot, command, params);
}

}  // namespace tessaly::protocol
