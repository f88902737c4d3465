#include <memory>

#include "model/EditCore.h"
#include "model/ParameterDescriptor.h"
#include "model/ValueTargets.h"
#include "programs/PresetFile.h"
#include "programs/RecordView.h"
#include "programs/WholeProgram.h"
#include "protocol/ProgramStore.h"
#include "protocol/ValueLists.h"

namespace tessaly::programs {
namespace {

constexpr int kScratchSlot = 0;

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

  for (const model::EditTarget& target : model::ValueTargets(kScratchSlot, device_type)) {
    const model::ParameterDescriptor& p = target.parameter();
    const int ch = target.channel;
    const int e = target.element;
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
