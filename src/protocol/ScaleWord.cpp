#include "protocol/ScaleWord.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "comm/CommState.h"
#include "comm/Packet.h"
#include "protocol/CommonOperations.h"

namespace tessaly::protocol {

WordBytes SplitWord(double value) {
  std::array<uint8_t, comm::kAddressBytesSize> bytes{};
  comm::SplitToBytes(value, 0, bytes);
  return {bytes[2], bytes[3]};
}

int JoinWord(uint8_t high, uint8_t low) { return high * 256 + low; }

int FrequencyFromTyped(double hz) {
  if (std::isnan(hz)) {
    return kMinFrequency;
  }
  const double clamped = std::clamp(hz, double{kMinFrequency}, double{kMaxFrequency});
  return static_cast<int>(std::lround(clamped));
}

}  // namespace tessaly::protocol
