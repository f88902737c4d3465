#include "programs/ProgramNames.h"

#include "comm/DeviceTypes.h"

namespace tessaly::programs {

ProgramNameList::ProgramNameList() {
  ProgramName.fill(QString::fromLatin1(kEmptyProgramName));
  ProgramStatus.fill(255);
}

ProgramNameList* ProgramNames::At(int slot) {
  return comm::IsValidSlot(slot) ? &slots_[static_cast<size_t>(slot)] : nullptr;
}

const ProgramNameList* ProgramNames::At(int slot) const {
  return comm::IsValidSlot(slot) ? &slots_[static_cast<size_t>(slot)] : nullptr;
}

bool ProgramNames::FillFactory(int slot, int device_type) {
  ProgramNameList* list = At(slot);
  if (list == nullptr || !comm::IsValidType(device_type)) return false;
  *list = ProgramNameList{};
  const int last = comm::LastProgramIndex(device_type);
  for (int p = 0; p <= last && p < kMaxPrograms; ++p) {
    list->ProgramName[static_cast<size_t>(p)] = QString::fromLatin1(kEmptyProgramName);
  }
  list->CurrentProgramName = QString::fromLatin1(kFactoryProgramCaption);
  return true;
}

}  // namespace tessaly::programs
