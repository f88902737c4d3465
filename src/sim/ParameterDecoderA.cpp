#include "sim/ParameterDecoder.h"

namespace tessaly::sim {

// Family A parameter commands are decoded here by the family A protocol work.
bool ApplyFamilyACommand(std::span<uint8_t> /*image*/, std::span<uint8_t> /*settings*/,
                         std::span<const uint8_t> /*packet*/) {
  return false;
}

}  // namespace tessaly::sim
