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

class ResponseCurvesTest : public ::testing::Test {
 protected:
  ResponseCurvesTest() : comm_(messenger_), store_(comm_), graph_(store_) {}

  void UseFamily(int slot, Family family) {
    comm_.table().device_type[slot] = family == Family::kB ? 3 : 0;
  }

  // A band as stored: its type, frequency, Q byte and gain byte (dB = gain / 2 - 15).
  void SetBand(int slot, int band, int type, int hz, int q, int gain) {
    protocol::ProgramData* data = store_.Data(slot);
    ASSERT_TRUE(data->Set(data->layout().eq_band_offset[band], static_cast<uint8_t>(type)));
    ASSERT_TRUE(data->Set16(data->layout().eq_band_offset[band] + 1, static_cast<uint16_t>(hz)));
    ASSERT_TRUE(data->Set(data->layout().eq_band_offset[band] + 3, static_cast<uint8_t>(q)));
    ASSERT_TRUE(data->Set(data->layout().eq_band_offset[band] + 4, static_cast<uint8_t>(gain)));
    store_.State(slot)->band_type[band] = static_cast<uint8_t>(type);
  }
  void SetXover(int slot, int filter, int hz, int slope) {
    store_.State(slot)->crossover[filter] = {hz, slope};
  }

  test::RecordingMessenger messenger_;
  comm::Comm comm_;
  protocol::ProgramStore store_;
  ResponseCurves graph_;
};

TEST(BandQ, QByteMeansDifferentThingsPerType) {
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandBell, 9), 0.67);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandBell, 100), 128.0);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandNotch, 0), 4.0);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandHiShelf, 2), 0.2);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandHighPass, 100), 5.1);
  EXPECT_DOUBLE_EQ(BandQFromByte(kBandBell, 255), 128.0);  // clamped, never past the table
}

TEST_F(ResponseCurvesTest, BandCurveFollowsItsFormulaAndSumsIntoItsChannel) {
  UseFamily(kSlot, Family::kA);
  SetBand(kSlot, 14, kBandBell, 1000, 16, 54);  // channel 1, +12 dB, Q 1
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 14));
  const SlotCurves& curves = *graph_.Curves(kSlot);
  const double qe = 1.0 / (1.0 + 6.0 * 1.1 / 9.0);
  for (int p = 0; p < kGraphPoints; ++p) {
    const double x = qe * (1000.0 / GraphFreq()[p] - GraphFreq()[p] / 1000.0);
    ASSERT_NEAR(curves.band_curve[14][p], 12.0 / (1.0 + x * x), 1e-12) << p;
    ASSERT_DOUBLE_EQ(curves.channel_curve[1][p], curves.band_curve[14][p]) << p;
  }
  EXPECT_DOUBLE_EQ(curves.channel_curve[1][780], 12.0);
}

TEST_F(ResponseCurvesTest, ChangingOneFilterOrBandRecomputesOnlyItsChannel) {
  // A family A program with something non-flat on every channel.
  UseFamily(kSlot, Family::kA);
  SetBand(kSlot, 3, kBandBell, 200, 16, 42);
  SetBand(kSlot, 15, kBandLoShelf, 120, 10, 20);
  SetBand(kSlot, 25, kBandHiShelf, 5000, 10, 50);
  SetBand(kSlot, 30, kBandNotch, 3000, 20, 30);
  SetBand(kSlot, 36, kBandLowPass, 9000, 12, 30);
  for (int filter = 0; filter < 6; ++filter) SetXover(kSlot, filter, 300 + 500 * filter, 2);
  ASSERT_TRUE(graph_.RecomputeAll(kSlot));
  // Everything but the named curves stays as it was.
  const auto expect_only = [this](SlotCurves before, int ch, int xover, int band) {
    const SlotCurves& after = *graph_.Curves(kSlot);
    EXPECT_NE(after.channel_curve[ch], before.channel_curve[ch]);
    before.channel_curve[ch] = after.channel_curve[ch];
    if (xover >= 0) before.xover_curve[xover] = after.xover_curve[xover];
    if (band >= 0) before.band_curve[band] = after.band_curve[band];
    EXPECT_TRUE(after.channel_curve == before.channel_curve);
    EXPECT_TRUE(after.xover_curve == before.xover_curve);
    EXPECT_TRUE(after.band_curve == before.band_curve);
  };
  SlotCurves before = *graph_.Curves(kSlot);
  SetXover(kSlot, 0, 2000, 6);  // high-pass of output channel 2
  ASSERT_TRUE(graph_.UpdateXoverCurve(kSlot, 0));
  expect_only(before, 2, 0, -1);
  const SlotCurves& after = *graph_.Curves(kSlot);
  for (int p = 0; p < kGraphPoints; ++p) {
    double sum = after.xover_curve[0][p] + after.xover_curve[1][p];
    for (int band = 24; band <= 28; ++band) sum += after.band_curve[band][p];
    ASSERT_NEAR(after.channel_curve[2][p], sum, 1e-12) << p;
  }
  before = *graph_.Curves(kSlot);
  SetBand(kSlot, 31, kBandBell, 700, 30, 10);  // third band of output channel 3
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 31));
  expect_only(before, 3, -1, 31);
}

TEST_F(ResponseCurvesTest, EqBypassLeavesBandsOutOfTheSum) {
  UseFamily(kSlot, Family::kB);
  SetBand(kSlot, 40, kBandBell, 500, 16, 60);   // input channel 3
  SetBand(kSlot, 55, kBandNotch, 2000, 0, 30);  // output channel 5, point 931
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
  SetBand(kSlot, 2, kBandBell, 100, 16, 50);
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 2));
  const Curve shaped = graph_.Curves(kSlot)->band_curve[2];
  EXPECT_DOUBLE_EQ(shaped[80], 10.0);

  SetBand(kSlot, 2, 9, 100, 16, 10);
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 2));
  EXPECT_EQ(graph_.Curves(kSlot)->band_curve[2], shaped);

  SetBand(kSlot, 2, kBandBell, 100, 16, 50);
  store_.State(kSlot)->band_bypass[2] = true;
  ASSERT_TRUE(graph_.UpdateBandCurve(kSlot, 2));
  for (int p = 0; p < kGraphPoints; ++p) {
    ASSERT_EQ(graph_.Curves(kSlot)->band_curve[2][p], 0.0);
    ASSERT_EQ(graph_.Curves(kSlot)->channel_curve[0][p], 0.0);
  }
}

TEST_F(ResponseCurvesTest, CrossoverCodesAtCornerThroughTheSlotState) {
  UseFamily(kSlot, Family::kB);
  for (const auto& [slope, db] :
       std::vector<std::pair<int, double>>{{2, -3.0103}, {3, -6.0206}, {7, -6.0206}}) {
    SetXover(kSlot, 4, 1000, slope);  // high-pass of "Sub"
    ASSERT_TRUE(graph_.UpdateXoverCurve(kSlot, 4));
    EXPECT_NEAR(graph_.XoverValue(kSlot, 4, 780).value(), db, 1e-3) << slope;
    EXPECT_NEAR(graph_.ChannelValue(kSlot, 6, 780).value(), db, 1e-3) << slope;
  }
  // Odd filters are low-passes: flat below the corner, steep above it.
  SetXover(kSlot, 5, 8000, 7);
  ASSERT_TRUE(graph_.UpdateXoverCurve(kSlot, 5));
  EXPECT_NEAR(graph_.XoverValue(kSlot, 5, 0).value(), 0.0, 1e-3);
  EXPECT_LT(graph_.XoverValue(kSlot, 5, kGraphPoints - 1).value(), -20.0);
}

TEST_F(ResponseCurvesTest, ShelfResponseOfAStoredBand) {
  UseFamily(kSlot, Family::kA);
  SetBand(kSlot, 5, kBandHiShelf, 2000, 10, 54);
  EXPECT_NEAR(graph_.ShelfResponseDb(kSlot, 5, 2000.0).value(), 6.0, 1e-9);
  EXPECT_NEAR(graph_.ShelfResponseDb(kSlot, 5, 1.0e6).value(), 12.0, 1e-3);
  SetBand(kSlot, 5, kBandBell, 2000, 10, 54);
  EXPECT_FALSE(graph_.ShelfResponseDb(kSlot, 5, 2000.0));
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
  EXPECT_FALSE(graph_.ChannelValue(kSlot, 0, kGraphPoints));
  EXPECT_FALSE(graph_.BandValue(kSlot, 39, 0));
  EXPECT_EQ(graph_.ChannelValue(kSlot, 0, 100), 0.0);
  EXPECT_EQ(graph_.Curves(kSlot), nullptr);  // curves are allocated on first use
  UseFamily(kSlot, Family::kB);
  EXPECT_TRUE(graph_.UpdateBandCurve(kSlot, 39));
}

}  // namespace
}  // namespace tessaly::graph
