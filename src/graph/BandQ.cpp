#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "graph/ResponseCurves.h"
#include "protocol/ScaleGrids.h"
#include "protocol/ValueLists.h"

namespace tessaly::graph {

double BandQFromByte(int type, uint8_t q_byte) {
  const size_t q = std::min<size_t>(q_byte, protocol::BellQTable.size() - 1);
  switch (protocol::QClassOfType(type)) {
    case protocol::kQClassBell:
      return protocol::BellQTable[q];
    case protocol::kQClassNotch:
      return protocol::kNotchQGrid[q];
    default:
      return protocol::kOtherQGrid[q];
  }
}

}  // namespace tessaly::graph
