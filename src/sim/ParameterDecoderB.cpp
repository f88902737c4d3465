#include "sim/ParameterDecoder.h"

namespace tessaly::sim {

// Family B parameter commands are decoded here by the family B protocol work.
bool ApplyFamilyBCommand(std::span<uint8_t> /*image*/, std::span<uint8_t> /*settings*/,
                         std::span<const uint8_t> /*packet*/) {
  return false;
}

}  // namespace tessaly::sim
