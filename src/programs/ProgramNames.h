#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "comm/DeviceTable.h"

namespace tessaly::programs {

inline constexpr int kMaxPrograms = 64;
inline constexpr int kProgramNameLength = 16;
// Program-number bytes above this mark an empty program slot of the device memory.
inline constexpr int kLastOccupiedStatus = 63;
inline constexpr const char* kEmptyProgramName = "Program Empty   ";
inline constexpr const char* kFactoryProgramCaption = "Factory Preset";

// What one device holds in its program memory, as last read from it.
struct ProgramNameList {
  std::array<QString, kMaxPrograms> program_name;
  // The program-number byte of each program slot: 0..63 occupied (equal to the slot number),
  // anything larger empty. Kept as read, so 0xFF stays 255.
  std::array<double, kMaxPrograms> program_status;
  QString current_program_name;

  ProgramNameList();
  static bool IsStored(double status) { return status <= kLastOccupiedStatus; }
};

// Program names and status of every device slot for the whole run.
class ProgramNames {
 public:
  // nullptr for a slot outside 0..32.
  ProgramNameList* At(int slot);
  const ProgramNameList* At(int slot) const;

  // What a demo device shows: every program of the type empty, caption "Factory Preset".
  bool FillFactory(int slot, int device_type);

 private:
  std::array<ProgramNameList, comm::kSlotCount> slots_;
};

}  // namespace tessaly::programs
