#include <gtest/gtest.h>

#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "graph/ResponseCurves.h"
#include "graph/TextFile.h"
#include "model/EditPath.h"
#include "model/EqImport.h"
#include "protocol/CommonOperations.h"
#include "protocol/FamilyBSimFixture.h"

namespace tessaly::model {
namespace {

struct ImportRig : test::ProtocolDeviceFixture {
  ImportRig() : ProtocolDeviceFixture(device::kTypeRk540, QStringLiteral("127.0.0.170")) {}

  ImportPlan Plan(int ch) {
    const auto text =
        graph::ReadTextFile(QStringLiteral(TESSALY_TEST_DATA "/apo-config.txt"), nullptr);
    const FilterListOrFault read = ParseFilterText(text.value_or(QString()));
    EXPECT_TRUE(read.list);
    return PlanImport(read.list.value_or(FilterList{}), data(), state(), ch).value_or(ImportPlan{});
  }
  std::vector<protocol::EqBandValues> Bands(int ch) {
    std::vector<protocol::EqBandValues> out;
    for (int b = 0; b < data().layout().BandCount(ch); ++b) {
      out.push_back(*protocol::ReadEqBand(data(), ch, b));
    }
    return out;
  }

  graph::ResponseCurves curves{store_};
  EditPath path{store_, curves, dispatcher_};
};

std::vector<int> Packed(const std::vector<protocol::EqBandValues>& bands) {
  std::vector<int> out;
  for (const auto& b : bands) out.insert(out.end(), {b.type, b.frequency, b.q, b.gain});
  return out;
}

TEST(EqImportDeviceTest, EachChangedBandGoesOnceWithItsLinkAndTheImportUndoesAsOneStep) {
  ImportRig rig;
  const int kSlot = test::ProtocolDeviceFixture::kSlot;
  // The inputs of family A link as a pair.
  ASSERT_EQ(rig.path.SetIndex({kSlot, ParamId::kLink, 0, -1}, 1).status, EditStatus::kDone);
  const auto before = rig.Record();
  const size_t undo_depth = rig.path.Undo(kSlot).Count();
  rig.sent.clear();

  const ImportPlan plan = rig.Plan(0);
  int changed = 0;
  for (const ImportBand& b : plan.bands) changed += b.Changes() ? 1 : 0;
  ASSERT_GE(changed, 7);
  const EditOutcome out = ApplyImport(rig.path, kSlot, plan);
  EXPECT_EQ(out.status, EditStatus::kDone) << out.reason.toStdString();

  // One band packet per changed band, and the same again for the linked input.
  ASSERT_EQ(rig.sent.size(), 2 * changed);
  for (const QByteArray& packet : rig.sent) {
    EXPECT_EQ(static_cast<uint8_t>(packet[3]), device::kCmdEqBand) << test::Hex(packet);
  }
  for (const ImportBand& b : plan.bands) {
    const auto held = *protocol::ReadEqBand(rig.data(), 0, b.band);
    EXPECT_EQ(Packed({held}), Packed({b.held})) << "band " << b.band;
  }
  EXPECT_EQ(Packed(rig.Bands(1)), Packed(rig.Bands(0)));
  EXPECT_EQ(rig.DeviceDifference(), "");

  EXPECT_EQ(rig.path.Undo(kSlot).Count(), undo_depth + 1);
  EXPECT_EQ(rig.path.Undo(kSlot).UndoText(), "EQ Import InL");
  ASSERT_EQ(rig.path.Undo(kSlot).UndoLast().status, EditStatus::kDone);
  EXPECT_EQ(rig.Record(), before);
  EXPECT_EQ(rig.DeviceDifference(), "");
}

}  // namespace
}  // namespace tessaly::model
