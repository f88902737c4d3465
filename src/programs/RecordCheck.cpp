#include <memory>

#include "model/EditCore.h"
#include "model/ParameterDescriptor.h"
#include "programs/PresetFile.h"
#include "programs/RecordView.h"
#include "programs/WholeProgram.h"
#include "protocol/ProgramStore.h"
#include "protocol/ValueLists.h"

namespace tessaly::programs {
namespace {

constexpr int kScratchSlot = 0;
constexpr int kMixerElements = 4;

// Every packet is held back, so the family operations only work on the scratch record.
class SilentTransmitter : public device::Transmitter {
 public:
  explicit SilentTransmitter(int type) : type_(type) {}
  int16_t Transmit(int, uint8_t, const device::Params&) override { return 0; }
  int DeviceType(int) const override { return type_; }
  int CurrentSlot() const override { return kScratchSlot; }
  bool Holds(int) const override { return true; }
  bool Busy() const override { return false; }

 private:
  int type_;
};

int ElementCount(const model::ParameterDescriptor& p, const protocol::Layout& layout, int ch) {
  switch (p.scope) {
    case model::Scope::kBand:
      return layout.BandCount(ch);
    case model::Scope::kMixerSend:
    case model::Scope::kRoutingPoint:
      return kMixerElements;
    default:
      return 0;
  }
}

}  // namespace

void VisitParameters(const protocol::ProgramData& data, int device_type,
                     const std::function<bool(const ParameterValue&)>& visit) {
  SilentTransmitter transmitter(device_type);
  protocol::ProgramStore store(transmitter);
  protocol::ProgramData* scratch = store.Data(kScratchSlot);
  if (scratch == nullptr || scratch->family() != data.family() ||
      !scratch->SetRecord(data.Record())) {
    return;
  }
  DeriveSlotState(*scratch, *store.State(kScratchSlot));
  model::EditCore core(store);
  const model::EditPath& edits = core.edits;

  const protocol::Layout& layout = data.layout();
  for (const model::ParameterDescriptor& p : model::Parameters()) {
    if (!p.OnType(device_type) || p.kind == model::ValueKind::kAction) continue;
    const bool device_wide = p.scope == model::Scope::kDevice;
    for (int ch = device_wide ? -1 : 0; ch < (device_wide ? 0 : layout.channel_count); ++ch) {
      const int elements = ElementCount(p, layout, ch);
      for (int e = elements == 0 ? -1 : 0; e < std::max(elements, 0); ++e) {
        const model::EditTarget target{kScratchSlot, p.id, ch, e};
        ParameterValue value;
        value.index = edits.Index(target);
        if (value.index < 0) continue;
        value.parameter = &p;
        value.channel = ch;
        value.element = e;
        value.in_range = value.index >= p.minimum && value.index <= p.maximum;
        value.shown = value.in_range ? edits.Shown(target) : QString();
        if (ch >= 0) value.where = protocol::ChannelName(device_type, ch) + QLatin1Char(' ');
        if (p.scope == model::Scope::kBand) value.where += QStringLiteral("band %1 ").arg(e + 1);
        if (p.scope == model::Scope::kMixerSend || p.scope == model::Scope::kRoutingPoint) {
          value.where += QStringLiteral("input %1 ").arg(e + 1);
        }
        if (!visit(value)) return;
      }
    }
  }
}

QString FirstBadParameter(const protocol::ProgramData& data, int device_type) {
  QString found;
  VisitParameters(data, device_type, [&found](const ParameterValue& v) {
    if (v.in_range) return true;
    found = QStringLiteral("%1%2 (byte value %3, allowed %4 to %5)")
                .arg(v.where, v.parameter->caption)
                .arg(v.index)
                .arg(v.parameter->minimum)
                .arg(v.parameter->maximum);
    return false;
  });
  return found;
}

}  // namespace tessaly::programs
