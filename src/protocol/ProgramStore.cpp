#include "protocol/ProgramStore.h"

namespace tessaly::protocol {

ProgramStore::ProgramStore(comm::Comm& comm, QObject* parent) : QObject(parent), comm_(comm) {
  data_b_.fill(ProgramData(Family::kB));
}

std::optional<int> ProgramStore::DeviceType(int slot) const {
  if (!comm::IsValidSlot(slot)) return std::nullopt;
  return comm_.state().table.device_type[static_cast<size_t>(slot)];
}

Family ProgramStore::FamilyOfSlot(int slot) const { return FamilyOf(DeviceType(slot).value_or(0)); }

ProgramData* ProgramStore::Data(int slot) { return Data(slot, FamilyOfSlot(slot)); }

const ProgramData* ProgramStore::Data(int slot) const { return Data(slot, FamilyOfSlot(slot)); }

ProgramData* ProgramStore::Data(int slot, Family family) {
  if (!comm::IsValidSlot(slot)) return nullptr;
  return &(family == Family::kB ? data_b_ : data_a_)[static_cast<size_t>(slot)];
}

const ProgramData* ProgramStore::Data(int slot, Family family) const {
  if (!comm::IsValidSlot(slot)) return nullptr;
  return &(family == Family::kB ? data_b_ : data_a_)[static_cast<size_t>(slot)];
}

SlotState* ProgramStore::State(int slot) {
  if (!comm::IsValidSlot(slot)) return nullptr;
  return &state_[static_cast<size_t>(slot)];
}

const SlotState* ProgramStore::State(int slot) const {
  if (!comm::IsValidSlot(slot)) return nullptr;
  return &state_[static_cast<size_t>(slot)];
}

int16_t ProgramStore::Transmit(int slot, uint8_t command, const comm::Params& params) {
  return comm_.TxCommand(slot, command, params);
}

}  // namespace tessaly::protocol
