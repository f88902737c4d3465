#include <gtest/gtest.h>

#include <algorithm>

#include "device/DeviceTypes.h"
#include "graph/ResponseCurves.h"
#include "model/EditPath.h"
#include "protocol/FamilyBSimFixture.h"

namespace tessaly::model {
namespace {

using test::ProtocolDeviceFixture;

constexpr int kSlot = ProtocolDeviceFixture::kSlot;

// Channel parameters that never repeat on linked channels: the link itself, the family A output
// source and the family B mixers and routing matrix.
constexpr ParamId kNeverLinked[] = {ParamId::kLink,     ParamId::kSource,  ParamId::kMixOn,
                                    ParamId::kMixLevel, ParamId::kRouteOn, ParamId::kRouteLevel};

struct Rig : ProtocolDeviceFixture {
  explicit Rig(int type) : ProtocolDeviceFixture(type) {}
  graph::ResponseCurves curves{store_};
  EditPath path{store_, curves, dispatcher_};
};

// The first target of a row on a device: input rows on the first input, output rows on the first
// output, band and send rows on their first element.
EditTarget FirstTarget(const ParameterDescriptor& p, const protocol::Layout& layout) {
  EditTarget t{kSlot, p.id, 0, -1};
  switch (p.scope) {
    case Scope::kOutput:
    case Scope::kCrossover:
      t.channel = layout.first_output;
      break;
    case Scope::kMixerSend:
      t.channel = layout.first_output;
      t.element = 0;
      break;
    case Scope::kBand:
    case Scope::kRoutingPoint:
      t.element = 0;
      break;
    case Scope::kDevice:
      t.channel = -1;
      break;
    case Scope::kInput:
    case Scope::kAnyChannel:
      break;
  }
  return t;
}

TEST(ParameterTable, RowsAreKeyedByTheirIdAndNamedOnce) {
  const auto& table = Parameters();
  ASSERT_EQ(static_cast<int>(table.size()), kParamCount);
  for (int i = 0; i < kParamCount; ++i) {
    const ParameterDescriptor& p = table[static_cast<size_t>(i)];
    EXPECT_EQ(static_cast<int>(p.id), i) << p.name.toStdString();
    EXPECT_EQ(FindParameter(p.name), &p) << p.name.toStdString();
    EXPECT_EQ(&Param(p.id), &p);
  }
}

// Every row on both families: read, written (the device ends up holding what the PC holds) and,
// where it links, repeated on the linked channels.
TEST(ParameterTable, EveryParameterReadsWritesAndLinksOnBothFamilies) {
  for (const int type : {device::kTypeRk540, device::kType540S}) {
    Rig rig(type);
    const protocol::Layout& layout = rig.data().layout();
    for (int ch = 0; ch < layout.channel_count; ++ch) {
      ASSERT_EQ(rig.path.SetIndex({kSlot, ParamId::kLink, ch}, 1).status, EditStatus::kDone);
    }
    int rows = 0;
    for (const ParameterDescriptor& p : Parameters()) {
      if (!p.OnType(type)) continue;
      ++rows;
      const std::string name = p.name.toStdString() + " on type " + std::to_string(type);
      ASSERT_NE(p.op.read, nullptr) << name;
      ASSERT_NE(p.op.write, nullptr) << name;
      const bool links = p.scope != Scope::kDevice &&
                         std::ranges::find(kNeverLinked, p.id) == std::end(kNeverLinked);
      EXPECT_EQ(p.op.link != nullptr, links) << name;

      const EditTarget target = FirstTarget(p, layout);
      const int before = rig.path.Index(target);
      ASSERT_GE(before, p.minimum) << name;
      // A neighbouring value, so a choice stays next to what the device allows now; the link
      // keeps its value so the channels stay linked.
      int next = before < p.maximum ? before + 1 : before - 1;
      if (p.kind == ValueKind::kAction || p.id == ParamId::kLink) next = before;
      const EditOutcome out = rig.path.SetIndex(target, next);
      ASSERT_EQ(out.status, EditStatus::kDone) << name << ": " << out.reason.toStdString();
      if (p.kind != ValueKind::kAction) {
        EXPECT_EQ(rig.path.Index(target), next) << name;
      }
      // The delay unit is the PC's own display choice: no command carries it.
      if (p.id != ParamId::kDelayUnit) {
        EXPECT_EQ(rig.DeviceDifference(), "") << name;
      }
      EXPECT_EQ(!out.followers.empty(), links) << name;
    }
    EXPECT_GT(rows, kParamCount / 2) << "type " << type;
  }
}

}  // namespace
}  // namespace tessaly::model
