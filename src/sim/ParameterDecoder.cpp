#include "sim/ParameterDecoder.h"

#include "device/DeviceTypes.h"

namespace tessaly::sim {

bool ApplyParameterCommand(int device_type, std::span<uint8_t> image, std::span<uint8_t> settings,
                           std::span<const uint8_t> packet) {
  return device::IsFamilyB(device_type) ? ApplyFamilyBCommand(image, settings, packet)
                                        : ApplyFamilyACommand(image, settings, packet);
}

}  // namespace tessaly::sim
