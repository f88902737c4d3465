#include "protocol/Offsets.h"

#include "device/DeviceTypes.h"

namespace tessaly::protocol {

Family FamilyOf(int device_type) {
  return device::IsFamilyB(device_type) ? Family::kB : Family::kA;
}

}  // namespace tessaly::protocol
