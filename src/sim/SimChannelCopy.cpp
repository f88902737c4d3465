#include "sim/SimChannelCopy.h"

#include <algorithm>

#include "protocol/Offsets.h"

namespace tessaly::sim {
namespace {

void Move(std::span<uint8_t> image, int from, int to, int count) {
  if (from < 0 || to < 0 || from + count > static_cast<int>(image.size()) ||
      to + count > static_cast<int>(image.size())) {
    return;
  }
  std::copy_n(image.begin() + from, count, image.begin() + to);
}

}  // namespace

bool CopyChannel(int device_type, std::span<uint8_t> image, int source, int destination) {
  const protocol::Layout& layout = protocol::LayoutOfType(device_type);
  const bool inputs = layout.IsInput(source) && layout.IsInput(destination);
  const bool outputs = layout.IsOutput(source) && layout.IsOutput(destination);
  if (source == destination || (!inputs && !outputs)) return false;
  // The device copies the processing blocks: dynamics, crossovers, EQ bands, band bypass.
  if (inputs) {
    Move(image, layout.gate_offset[source], layout.gate_offset[destination], protocol::kGateBytes);
    Move(image, layout.comp_offset[source], layout.comp_offset[destination],
         protocol::kCompressorBytes);
  } else {
    Move(image, layout.dyn_offset[source], layout.dyn_offset[destination], protocol::kLimiterBytes);
    for (int filter : {protocol::kFilterHighPass, protocol::kFilterLowPass}) {
      Move(image, layout.xover_offset[*layout.CrossoverIndex(source, filter)],
           layout.xover_offset[*layout.CrossoverIndex(destination, filter)],
           protocol::kCrossoverBytes);
    }
  }
  Move(image, layout.eq_band_offset[layout.first_band[source]],
       layout.eq_band_offset[layout.first_band[destination]],
       protocol::kBandBytes * layout.BandCount(source));
  Move(image, layout.eq_bypass_offset[source], layout.eq_bypass_offset[destination], 2);
  return true;
}

}  // namespace tessaly::sim
