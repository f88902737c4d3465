#pragma once

#include <cstdint>
#include <span>

namespace tessaly::sim {

// What a device does on command 55: copies the processing of one input onto another input, or
// of one output onto another output, inside its edit buffer. False for any other pair.
bool CopyChannel(int device_type, std::span<uint8_t> image, int source, int destination);

}  // namespace tessaly::sim
