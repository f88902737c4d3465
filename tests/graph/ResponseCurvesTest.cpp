#include "graph/ResponseCurves.h"

#include <gtest/gtest.h>

#include <vector>

#include "comm/Comm.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"

namespace tessaly::graph {
namespace {

using protocol::Family;
using protocol::Layout;

constexpr int kSlot = 4;

// Records what the computation draws.
class RecordingPanel : public GraphPanel {
 public:
  void DrawGraphGrid() override {
    ++grids;
    segments.clear();
  }
  void DrawCurveSegment(const CurveSegment& segment) override { segments.push_back(segment); }

  int grids = 0;
  std::vector<CurveSegment> segments;
};

struct Band {
  uint8_t type;
  uint16_t hz;
  uint8_t q;
  uint8_t gain;  // dB = gain / 2 - 15
};

class ResponseCurvesTest : public ::testing::Test {
 protected:
  ResponseCurvesTest() : comm_(messenger_), store_(comm_), graph_(store_) {}

  void UseFamily(int slot, Family family) {
    comm_.table().device_type[slot] = family == Family::kB ? 3 : 0;
  }
  const Layout& LayoutOfSlot(int slot) { return store_.Data(slot)->layout(); }

  void SetBand(int slot, int band, const Band& b) {
    protocol::ProgramData* data = store_.Data(slot);
    const uint8_t bytes[] = {b.type, static_cast<uint8_t>(b.hz >> 8),
                             static_cast<uint8_t>(b.hz & 0xFF), b.q, b.gain};
    ASSERT_TRUE(data->Write(data->layout().eq_band_offset[band], bytes));
    store_.State(slot)->band_type[band] = b.type;
  }
  void SetXover(int slot, int filter, int hz, int slope) {
    store_.State(slot)->crossover[filter] = {hz, slope};
  }

  // A family A program with something non-flat on every channel.
  void ShapeFamilyA(int slot) {
    UseFamily(slot, Family::kA);
    SetBand(slot, 3, {kBandBell, 200, 16, 42});
    SetBand(slot, 15, {kBandLoShelf, 120, 10, 20});
    SetBand(slot, 25, {kBandHiShelf, 5000, 10, 50});
    SetBand(slot, 30, {kBandNotch, 3000, 20, 30});
    SetBand(slot, 36, {kBandLowPass, 9000, 12, 30});
    for (int filter = 0; filter < 6; ++filter) SetXover(slot, filter, 300 + 500 * filter, 2);
    ASSERT_TRUE(graph_.RecomputeAll(slot));
  }

  Curve ChannelCurve(int slot, int ch) { return graph_.Curves(slot)->channel_curve[ch]; }

  test::RecordingMessenger messenger_;
  comm::Comm comm_;
  protocol::ProgramStore store_;
  ResponseCurves graph_;
};

TEST_F(ResponseCurvesTest, SlotCurvesAreAllocatedOnFirstUse) {
  for (int slot = 0; slot < comm::kSlotCount; ++slot) EXPECT_EQ(graph_.Curves(slot), nullptr);
  EXPECT_EQ(graph_.ChannelValue(kSlot, 0, 100), 0.0);
  EXPECT_EQ(graph_.Curves(kSlot), nullptr);
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 0));
  EXPECT_NE(graph_.Curves(kSlot), nullptr);
  for (int slot = 0; slot < comm::kSlotCount; ++slot) {
    if (slot != kSlot) {
      EXPECT_EQ(graph_.Curves(slot), nullptr) << slot;
    }
  }
}

TEST_F(ResponseCurvesTest, DefaultProgramIsFlatInBothFamilies) {
  for (Family family : {Family::kA, Family::kB}) {
    UseFamily(kSlot, family);
    ASSERT_TRUE(graph_.RecomputeAll(kSlot));
    for (int ch = 0; ch < LayoutOfSlot(kSlot).channel_count; ++ch) {
      for (int p = 0; p < kGraphPoints; p += 7) {
        ASSERT_NEAR(*graph_.ChannelValue(kSlot, ch, p), 0.0, 1e-12) << ch << " " << p;
      }
    }
  }
}

TEST_F(ResponseCurvesTest, BandInputsComeFromImageAndSlotState) {
  UseFamily(kSlot, Family::kA);
  SetBand(kSlot, 30, {kBandBell, 1000, 9, 54});
  store_.State(kSlot)->band_bypass[30] = true;
  const auto input = graph_.BandInputOf(kSlot, 30);
  ASSERT_TRUE(input);
  EXPECT_EQ(input->type, kBandBell);
  EXPECT_DOUBLE_EQ(input->f0, 1000.0);
  EXPECT_DOUBLE_EQ(input->q, 0.67);
  EXPECT_DOUBLE_EQ(input->gain_db, 12.0);
  EXPECT_TRUE(input->bypassed);

  SetXover(kSlot, 5, 8000, 7);
  const auto xover = graph_.XoverInputOf(kSlot, 5);
  ASSERT_TRUE(xover);
  EXPECT_DOUBLE_EQ(xover->fc, 8000.0);
  EXPECT_EQ(xover->code, 7);
  EXPECT_TRUE(xover->low_pass);
  EXPECT_FALSE(graph_.XoverInputOf(kSlot, 4)->low_pass);
}

TEST_F(ResponseCurvesTest, QByteMeansDifferentThingsPerType) {
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandBell, 9), 0.67);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandBell, 100), 128.0);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandNotch, 0), 4.0);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandHiShelf, 2), 0.2);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandHighPass, 100), 5.1);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandBell, 255), 128.0);  // clamped, never past the table
}

TEST_F(ResponseCurvesTest, BandCurveFollowsItsFormulaAndSumsIntoItsChannel) {
  UseFamily(kSlot, Family::kA);
  SetBand(kSlot, 14, {kBandBell, 1000, 16, 54});  // channel 1, +12 dB, Q 1
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 14));
  const SlotCurves& curves = *graph_.Curves(kSlot);
  const double qe = 1.0 / (1.0 + 6.0 * 1.1 / 9.0);
  const GraphFreqTable& freq = GraphFreq();
  for (int p = 0; p < kGraphPoints; ++p) {
    const double f = freq[p];
    const double expected =
        12.0 / (1.0 + qe * qe * (1000.0 / f - f / 1000.0) * (1000.0 / f - f / 1000.0));
    ASSERT_NEAR(curves.band_curve[14][p], expected, 1e-12) << p;
    ASSERT_DOUBLE_EQ(curves.channel_curve[1][p], curves.band_curve[14][p]) << p;
  }
  EXPECT_DOUBLE_EQ(curves.channel_curve[1][780], 12.0);
}

TEST_F(ResponseCurvesTest, ChangingOneFilterOrBandRecomputesOnlyItsChannel) {
  ShapeFamilyA(kSlot);
  const SlotCurves before = *graph_.Curves(kSlot);
  SetXover(kSlot, 0, 2000, 6);  // high-pass of output channel 2
  ASSERT_TRUE(graph_.UpdateXoverCurve(kSlot, 0));
  const SlotCurves& after = *graph_.Curves(kSlot);

  EXPECT_NE(after.channel_curve[2], before.channel_curve[2]);
  EXPECT_NE(after.xover_curve[0], before.xover_curve[0]);
  for (int ch : {0, 1, 3, 4}) EXPECT_EQ(after.channel_curve[ch], before.channel_curve[ch]) << ch;
  for (int f = 1; f < 6; ++f) EXPECT_EQ(after.xover_curve[f], before.xover_curve[f]) << f;
  EXPECT_EQ(after.band_curve, before.band_curve);
  for (int p = 0; p < kGraphPoints; ++p) {
    double sum = after.xover_curve[0][p] + after.xover_curve[1][p];
    for (int band = 24; band <= 28; ++band) sum += after.band_curve[band][p];
    ASSERT_NEAR(after.channel_curve[2][p], sum, 1e-12) << p;
  }
  const SlotCurves before_band = *graph_.Curves(kSlot);
  SetBand(kSlot, 31, {kBandBell, 700, 30, 10});  // third band of output channel 3
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 31));
  const SlotCurves& after_band = *graph_.Curves(kSlot);
  EXPECT_NE(after_band.channel_curve[3], before_band.channel_curve[3]);
  for (int ch : {0, 1, 2, 4})
    EXPECT_EQ(after_band.channel_curve[ch], before_band.channel_curve[ch]) << ch;
  for (int band = 0; band < 39; ++band) {
    if (band != 31) {
      EXPECT_EQ(after_band.band_curve[band], before_band.band_curve[band]) << band;
    }
  }
  EXPECT_EQ(after_band.xover_curve, before_band.xover_curve);
}

TEST_F(ResponseCurvesTest, EqBypassLeavesBandsOutOfTheSum) {
  UseFamily(kSlot, Family::kB);
  SetBand(kSlot, 40, {kBandBell, 500, 16, 60});   // input channel 3
  SetBand(kSlot, 55, {kBandNotch, 2000, 0, 30});  // output channel 5, point 931
  SetXover(kSlot, 2, 100, 3);
  SetXover(kSlot, 3, 10000, 8);
  store_.State(kSlot)->eq_bypass[3] = true;
  store_.State(kSlot)->eq_bypass[5] = true;
  ASSERT_TRUE(graph_.RecomputeAll(kSlot));
  const SlotCurves& curves = *graph_.Curves(kSlot);
  EXPECT_DOUBLE_EQ(curves.band_curve[40][480], 15.0);  // still computed
  EXPECT_NEAR(curves.band_curve[55][931], -45.0, 1e-12);
  for (int p = 0; p < kGraphPoints; ++p) {
    ASSERT_EQ(curves.channel_curve[3][p], 0.0) << p;
    ASSERT_EQ(curves.channel_curve[5][p], curves.xover_curve[2][p] + curves.xover_curve[3][p]) << p;
  }

  // Clearing the bypass brings the bands back on the next recompute of either kind.
  store_.State(kSlot)->eq_bypass[5] = false;
  ASSERT_TRUE(graph_.UpdateXoverCurve(kSlot, 3));
  EXPECT_NEAR(graph_.ChannelValue(kSlot, 5, 931).value(),
              -45.0 + curves.xover_curve[2][931] + curves.xover_curve[3][931], 1e-12);
}

TEST_F(ResponseCurvesTest, BypassedBandIsFlatAndUnknownTypeKeepsItsCurve) {
  UseFamily(kSlot, Family::kA);
  SetBand(kSlot, 2, {kBandBell, 100, 16, 50});
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 2));
  const Curve shaped = graph_.Curves(kSlot)->band_curve[2];
  EXPECT_DOUBLE_EQ(shaped[80], 10.0);

  SetBand(kSlot, 2, {9, 100, 16, 10});
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 2));
  EXPECT_EQ(graph_.Curves(kSlot)->band_curve[2], shaped);

  SetBand(kSlot, 2, {kBandBell, 100, 16, 50});
  store_.State(kSlot)->band_bypass[2] = true;
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 2));
  for (int p = 0; p < kGraphPoints; ++p) {
    ASSERT_EQ(graph_.Curves(kSlot)->band_curve[2][p], 0.0);
    ASSERT_EQ(graph_.Curves(kSlot)->channel_curve[0][p], 0.0);
  }
}

TEST_F(ResponseCurvesTest, CrossoverCodesAtCornerThroughTheSlotState) {
  UseFamily(kSlot, Family::kB);
  struct Case {
    int slope;
    double db;
  };
  for (const Case c : {Case{2, -3.0103}, Case{3, -6.0206}, Case{7, -6.0206}}) {
    SetXover(kSlot, 4, 1000, c.slope);  // high-pass of "Sub"
    ASSERT_TRUE(graph_.UpdateXoverCurve(kSlot, 4));
    EXPECT_NEAR(graph_.XoverValue(kSlot, 4, 780).value(), c.db, 1e-3) << c.slope;
    EXPECT_NEAR(graph_.ChannelValue(kSlot, 6, 780).value(), c.db, 1e-3) << c.slope;
  }
}

TEST_F(ResponseCurvesTest, ShelfResponseOfAStoredBand) {
  UseFamily(kSlot, Family::kA);
  SetBand(kSlot, 5, {kBandHiShelf, 2000, 10, 54});
  EXPECT_NEAR(graph_.ShelfResponseDb(kSlot, 5, 2000.0).value(), 6.0, 1e-9);
  EXPECT_NEAR(graph_.ShelfResponseDb(kSlot, 5, 1.0e6).value(), 12.0, 1e-3);
  SetBand(kSlot, 5, {kBandBell, 2000, 10, 54});
  EXPECT_FALSE(graph_.ShelfResponseDb(kSlot, 5, 2000.0));
}

TEST_F(ResponseCurvesTest, UpdateDrawsGridThenEverySegmentOfTheChannel) {
  RecordingPanel panel;
  graph_.AttachPanel(kSlot, &panel);
  UseFamily(kSlot, Family::kA);
  SetBand(kSlot, 34, {kBandBell, 4000, 9, 40});
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 34));
  EXPECT_EQ(panel.grids, 1);
  ASSERT_EQ(panel.segments.size(), static_cast<size_t>(kGraphPoints - 1));
  for (size_t i = 0; i < panel.segments.size(); ++i) {
    const CurveSegment& s = panel.segments[i];
    const int p = static_cast<int>(i) + 1;
    ASSERT_EQ(s.channel, 4);
    ASSERT_EQ(s.point, p);
    ASSERT_EQ(s.hz_to, GraphFreq()[p]);
    ASSERT_EQ(s.db_from, graph_.ChannelValue(kSlot, 4, p - 1).value());
    ASSERT_EQ(s.db_to, graph_.ChannelValue(kSlot, 4, p).value());
  }
  // A recompute without drawing leaves the panel alone.
  ASSERT_TRUE(graph_.RecomputeChannelBands(kSlot, 4));
  EXPECT_EQ(panel.grids, 1);
}

TEST_F(ResponseCurvesTest, RedrawShowsTheStoredCurveWithoutRecomputing) {
  RecordingPanel panel;
  UseFamily(kSlot, Family::kA);
  SetBand(kSlot, 0, {kBandLowPass, 300, 12, 30});
  ASSERT_TRUE(graph_.RecomputeChannelBands(kSlot, 0));
  const Curve stored = graph_.Curves(kSlot)->channel_curve[0];
  SetBand(kSlot, 0, {kBandHighPass, 300, 12, 30});  // not recomputed yet

  graph_.AttachPanel(kSlot, &panel);
  ASSERT_TRUE(graph_.RedrawChannelCurve(kSlot, 0));
  EXPECT_EQ(panel.grids, 1);
  ASSERT_EQ(panel.segments.size(), static_cast<size_t>(kGraphPoints - 1));
  EXPECT_EQ(panel.segments.back().db_to, stored.back());
  EXPECT_EQ(panel.segments.front().db_from, stored.front());

  // Other slots draw into their own panels only.
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot + 1, 0));
  EXPECT_EQ(panel.grids, 1);
  graph_.AttachPanel(kSlot, nullptr);
  EXPECT_TRUE(graph_.RedrawChannelCurve(kSlot, 0));
  EXPECT_EQ(graph_.Panel(kSlot), nullptr);
}

TEST_F(ResponseCurvesTest, FamilyBNumbering) {
  UseFamily(kSlot, Family::kB);
  const Layout& b = LayoutOfSlot(kSlot);
  EXPECT_EQ(ChannelOfBand(b, 47), 3);
  EXPECT_EQ(ChannelOfBand(b, 48), 4);
  EXPECT_EQ(ChannelOfBand(b, 62), 6);
  EXPECT_EQ(ChannelOfBand(b, 63), std::nullopt);
  EXPECT_EQ(ChannelOfXover(b, 5), 6);
  const Layout& a = protocol::kLayoutA;
  EXPECT_EQ(ChannelOfBand(a, 38), 4);
  EXPECT_EQ(ChannelOfBand(a, 39), std::nullopt);
  EXPECT_EQ(ChannelOfXover(a, 0), 2);
  EXPECT_EQ(ChannelOfXover(a, 6), std::nullopt);

  SetBand(kSlot, 62, {kBandNotch, 150, 10, 30});
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 62));
  EXPECT_DOUBLE_EQ(graph_.ChannelValue(kSlot, 6, 130).value(), -45.0);
}

TEST_F(ResponseCurvesTest, RefusesIndexesOutsideTheFamily) {
  UseFamily(kSlot, Family::kA);
  EXPECT_FALSE(graph_.UpdateBandCurve(kSlot, 39));
  EXPECT_FALSE(graph_.UpdateBandCurve(kSlot, -1));
  EXPECT_FALSE(graph_.UpdateBandCurve(33, 0));
  EXPECT_FALSE(graph_.UpdateBandCurve(-1, 0));
  EXPECT_FALSE(graph_.UpdateXoverCurve(kSlot, 6));
  EXPECT_FALSE(graph_.RecomputeChannelBands(kSlot, 5));
  EXPECT_FALSE(graph_.RecomputeChannelXovers(kSlot, 1));  // an input has no crossover
  EXPECT_FALSE(graph_.RedrawChannelCurve(kSlot, 5));
  EXPECT_FALSE(graph_.ChannelValue(kSlot, 0, kGraphPoints));
  EXPECT_FALSE(graph_.BandValue(kSlot, 39, 0));
  EXPECT_EQ(graph_.Curves(kSlot), nullptr);
  UseFamily(kSlot, Family::kB);
  EXPECT_TRUE(graph_.UpdateBandCurve(kSlot, 39));
}

}  // namespace
}  // namespace tessaly::graph
