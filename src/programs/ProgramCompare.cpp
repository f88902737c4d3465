#include "programs/ProgramCompare.h"

#include <algorithm>

#include "model/ParameterDescriptor.h"
#include "programs/RecordView.h"
#include "protocol/ProgramData.h"
#include "protocol/ValueLists.h"

namespace tessaly::programs {

model::EditTarget ParameterDifference::Target(int slot) const {
  return {slot, parameter != nullptr ? parameter->id : model::ParamId::kGain, channel, element};
}

model::PendingEdits::Key ParameterDifference::Key() const {
  return {parameter != nullptr ? parameter->id : model::ParamId::kGain, channel, element};
}

std::vector<ParameterDifference> CompareRecords(const protocol::ProgramData& pc,
                                                const protocol::ProgramData& device,
                                                int device_type,
                                                const model::PendingEdits& pending) {
  std::vector<ParameterDifference> out;
  if (pc.family() != device.family()) return out;
  if (pc.Name() != device.Name()) {
    ParameterDifference name;
    name.caption = QStringLiteral("Program name");
    name.pc_shown = pc.Name().trimmed();
    name.device_shown = device.Name().trimmed();
    out.push_back(name);
  }
  std::vector<ParameterValue> left;
  VisitParameters(pc, device_type, [&left](const ParameterValue& v) {
    left.push_back(v);
    return true;
  });
  size_t n = 0;
  VisitParameters(device, device_type, [&](const ParameterValue& v) {
    const ParameterValue* mine = n < left.size() ? &left[n] : nullptr;
    ++n;
    if (mine == nullptr || mine->index == v.index) return true;
    ParameterDifference d;
    d.parameter = v.parameter;
    d.channel = v.channel;
    d.element = v.element;
    d.pc_index = mine->index;
    d.device_index = v.index;
    // "where" starts with the channel, which the grouping already shows.
    QString detail = v.where;
    const QString channel_name = protocol::ChannelName(device_type, v.channel) + QLatin1Char(' ');
    if (v.channel >= 0 && detail.startsWith(channel_name)) detail.remove(0, channel_name.size());
    d.caption = (v.parameter->caption + QLatin1Char(' ') + detail).trimmed();
    d.pc_shown = mine->in_range ? mine->shown : QStringLiteral("byte %1").arg(mine->index);
    d.device_shown = v.in_range ? v.shown : QStringLiteral("byte %1").arg(v.index);
    d.pending = pending.Contains(d.Key());
    out.push_back(d);
    return true;
  });
  // The name stays on top; the rest keep the table's order inside their group.
  std::stable_sort(out.begin(), out.end(),
                   [](const ParameterDifference& a, const ParameterDifference& b) {
                     if (a.is_name() != b.is_name()) return a.is_name();
                     if (a.channel != b.channel) return a.channel < b.channel;
                     return a.pending && !b.pending;
                   });
  return out;
}

}  // namespace tessaly::programs
