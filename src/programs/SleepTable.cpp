#include "programs/SleepTable.h"

#include <cstddef>

namespace tessaly::programs {

int32_t SleepTable::GroupCount(int group) const {
  if (group < 0 || group >= kSleepGroupCount) return -1;
  const auto at = [&](int i) { return static_cast<int32_t>(bytes[static_cast<std::size_t>(i)]); };
  const int first = 3 * group;
  return at(first) * 65536 + at(first + 1) * 256 + at(first + 2);
}

SleepTable* SleepTables::At(int slot) {
  return device::IsValidSlot(slot) ? &slots_[static_cast<std::size_t>(slot)] : nullptr;
}

const SleepTable* SleepTables::At(int slot) const {
  return device::IsValidSlot(slot) ? &slots_[static_cast<std::size_t>(slot)] : nullptr;
}

}  // namespace tessaly::programs
