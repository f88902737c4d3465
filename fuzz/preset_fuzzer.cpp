// Any file as a preset for the device type the first byte picks: read, checked and applied to a
// record, or refused. What is read never exceeds the family's record.
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "device/DeviceTypes.h"
#include "programs/PresetFile.h"
#include "programs/ProgramFiles.h"
#include "protocol/ProgramData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessaly;
  if (size < 1) return 0;
  const int device_type = data[0] % 4;
  const programs::PresetRead read =
      programs::ReadPreset(WriteFuzzFile(data + 1, size - 1, "fuzz.preset"), device_type);
  if (read.bytes.size() > programs::FileTypeOf(device_type)->record_size) __builtin_trap();
  if (read.status != programs::PresetStatus::kOk) return 0;
  protocol::ProgramData record(device::IsFamilyB(device_type) ? protocol::Family::kB
                                                              : protocol::Family::kA);
  programs::ApplyPreset(read.bytes, record);
  (void)programs::FirstBadParameter(record, device_type);
  return 0;
}
