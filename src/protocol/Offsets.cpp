#include "protocol/Offsets.h"

#include "comm/DeviceTypes.h"

namespace tessaly::protocol {

Family FamilyOf(int device_type) { return comm::IsFamilyB(device_type) ? Family::kB : Family::kA; }

}  // namespace tessaly::protocol
