#include "programs/PushPlan.h"

#include <algorithm>

#include "model/EditCore.h"
#include "model/ParameterDescriptor.h"
#include "programs/RecordView.h"
#include "programs/WholeProgram.h"
#include "protocol/ProgramStore.h"

namespace tessaly::programs {
namespace {

constexpr int kScratchSlot = 0;

// Keeps every packet the operations would send, in order, and sends none.
class CapturingTransmitter : public device::Transmitter {
 public:
  explicit CapturingTransmitter(int type) : type_(type) {}
  int16_t Transmit(int, uint8_t command, const device::Params& params) override {
    packets.push_back({command, params, {}});
    return 0;
  }
  int DeviceType(int) const override { return type_; }
  int CurrentSlot() const override { return kScratchSlot; }
  bool Holds(int) const override { return false; }
  bool Busy() const override { return false; }

  std::vector<PushPacket> packets;

 private:
  int type_;
};

std::vector<ParameterValue> Values(const protocol::ProgramData& data, int device_type) {
  std::vector<ParameterValue> values;
  VisitParameters(data, device_type, [&values](const ParameterValue& v) {
    values.push_back(v);
    return true;
  });
  return values;
}

QString Named(const ParameterValue& v) { return v.where + v.parameter->caption; }

QString Shown(const ParameterValue& v) {
  return v.in_range ? v.shown : QStringLiteral("byte %1").arg(v.index);
}

}  // namespace

std::vector<PushPacket> PacketsToReach(const protocol::ProgramData& device,
                                       const protocol::ProgramData& target, int device_type) {
  std::vector<PushPacket> out;
  if (device.family() != target.family()) return out;
  const std::vector<ParameterValue> now = Values(device, device_type);
  const std::vector<ParameterValue> wanted = Values(target, device_type);

  // The target's whole record is in place before anything is sent, so every packet carries the
  // target's values for all its fields and two parameters of one command give the same packet.
  CapturingTransmitter transmitter(device_type);
  protocol::ProgramStore store(transmitter);
  protocol::ProgramData* scratch = store.Data(kScratchSlot);
  if (scratch == nullptr || !scratch->SetRecord(target.Record())) return out;
  DeriveSlotState(*scratch, *store.State(kScratchSlot));
  model::EditCore core(store);

  for (size_t i = 0; i < wanted.size() && i < now.size(); ++i) {
    const ParameterValue& w = wanted[i];
    if (w.index == now[i].index) continue;
    transmitter.packets.clear();
    core.edits.Resend({kScratchSlot, w.parameter->id, w.channel, w.element});
    for (PushPacket& packet : transmitter.packets) {
      const auto same = std::find_if(out.begin(), out.end(), [&packet](const PushPacket& p) {
        return p.command == packet.command && p.params == packet.params;
      });
      if (same != out.end()) {
        same->parameters << Named(w);
      } else {
        packet.parameters << Named(w);
        out.push_back(packet);
      }
    }
  }
  return out;
}

QString FirstDifference(const protocol::ProgramData& held, const protocol::ProgramData& wanted,
                        int device_type) {
  const std::vector<ParameterValue> a = Values(held, device_type);
  const std::vector<ParameterValue> b = Values(wanted, device_type);
  if (a.size() != b.size()) return QStringLiteral("the records are of different devices");
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].index != b[i].index) {
      return QStringLiteral("%1: %2, not %3").arg(Named(a[i]), Shown(a[i]), Shown(b[i]));
    }
  }
  return {};
}

}  // namespace tessaly::programs
