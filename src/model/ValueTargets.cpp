#include "model/ValueTargets.h"

#include <algorithm>

#include "model/ParameterDescriptor.h"
#include "protocol/Offsets.h"

namespace tessaly::model {
namespace {

int ElementCount(const ParameterDescriptor& p, const protocol::Layout& layout, int ch) {
  switch (p.scope) {
    case Scope::kBand:
      return layout.BandCount(ch);
    case Scope::kMixerSend:
    case Scope::kRoutingPoint:
      return protocol::kMixerSends;
    default:
      return 0;
  }
}

}  // namespace

std::vector<EditTarget> ValueTargets(int slot, int device_type) {
  std::vector<EditTarget> targets;
  const protocol::Layout& layout = protocol::LayoutOfType(device_type);
  for (const ParameterDescriptor& p : Parameters()) {
    if (!p.OnType(device_type) || p.kind == ValueKind::kAction) continue;
    const bool device_wide = p.scope == Scope::kDevice;
    for (int ch = device_wide ? -1 : 0; ch < (device_wide ? 0 : layout.channel_count); ++ch) {
      const int elements = ElementCount(p, layout, ch);
      for (int e = elements == 0 ? -1 : 0; e < std::max(elements, 0); ++e) {
        targets.push_back({slot, p.id, ch, e});
      }
    }
  }
  return targets;
}

}  // namespace tessaly::model
