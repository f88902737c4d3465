#pragma once

#include <cstdint>
#include <span>

namespace tessaly::sim {

// Applies one parameter command that a device of `device_type` received to its parameter image
// and its settings memory. Returns false when the packet is not a parameter command of that
// family (the device then just acknowledges it).
bool ApplyParameterCommand(int device_type, std::span<uint8_t> image, std::span<uint8_t> settings,
                           std::span<const uint8_t> packet);

bool ApplyFamilyACommand(std::span<uint8_t> image, std::span<uint8_t> settings,
                         std::span<const uint8_t> packet);
bool ApplyFamilyBCommand(std::span<uint8_t> image, std::span<uint8_t> settings,
                         std::span<const uint8_t> packet);

}  // namespace tessaly::sim
