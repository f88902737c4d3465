#include "device/PacketFormat.h"

#include <cmath>

#include "device/Commands.h"

namespace tessaly::device {

bool IsDataBlockCommand(uint8_t command) {
  return command == device::kCmdWriteBlock || command == device::kCmdDataBlock;
}

bool SplitToBytes(double value, int start, std::span<uint8_t> out) {
  if (start < 0 || static_cast<size_t>(start) + 4 > out.size()) return false;
  const auto bits = static_cast<uint32_t>(static_cast<int64_t>(std::llround(value)));
  for (int i = 0; i < 4; ++i) out[start + i] = static_cast<uint8_t>(bits >> (24 - 8 * i));
  return true;
}

}  // namespace tessaly::device
