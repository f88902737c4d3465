#include "programs/ProgramNames.h"

#include "device/DeviceTypes.h"

namespace tessaly::programs {

ProgramNameList::ProgramNameList() {
  program_name.fill(QString::fromLatin1(kEmptyProgramName));
  program_status.fill(255);
}

ProgramNameList* ProgramNames::At(int slot) {
  return comm::IsValidSlot(slot) ? &slots_[static_cast<size_t>(slot)] : nullptr;
}

const ProgramNameList* ProgramNames::At(int slot) const {
  return comm::IsValidSlot(slot) ? &slots_[static_cast<size_t>(slot)] : nullptr;
}

bool ProgramNames::FillFactory(int slot, int device_type) {
  ProgramNameList* list = At(slot);
  if (list == nullptr || !device::IsValidType(device_type)) return false;
  *list = ProgramNameList{};
  const int last = device::LastProgramIndex(device_type);
  for (int p = 0; p <= last && p < kMaxPrograms; ++p) {
    list->program_name[static_cast<size_t>(p)] = QString::fromLatin1(kEmptyProgramName);
  }
  list->current_program_name = QString::fromLatin1(kFactoryProgramCaption);
  return true;
}

}  // namespace tessaly::programs
