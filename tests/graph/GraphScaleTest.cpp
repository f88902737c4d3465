#include "graph/GraphScale.h"

#include <gtest/gtest.h>

namespace tessaly::graph {
namespace {

TEST(GraphScaleTest, FrequencyAxisIsLogarithmicAcrossTheWidth) {
  EXPECT_DOUBLE_EQ(FreqToX(20.0, 600.0), 0.0);
  EXPECT_NEAR(FreqToX(20000.0, 600.0), 600.0, 1e-9);
  EXPECT_NEAR(FreqToX(200.0, 600.0), 200.0, 1e-9);
  EXPECT_NEAR(FreqToX(2000.0, 900.0), 600.0, 1e-9);
  EXPECT_DOUBLE_EQ(GraphXScale(900.0), 300.0);
}

TEST(GraphScaleTest, GainAxisRunsFromPlus30AtTopToMinus30AtBottom) {
  EXPECT_EQ(DbToY(30.0, 300.0), 0);
  EXPECT_EQ(DbToY(-30.0, 300.0), 300);
  EXPECT_EQ(DbToY(0.0, 300.0), 150);
  EXPECT_EQ(DbToY(-3.01, 300.0), 165);
  EXPECT_EQ(DbToY(45.0, 300.0), -75);  // outside, clipped by the picture
  EXPECT_DOUBLE_EQ(GraphY0(240.0), 120.0);
}

TEST(GraphScaleTest, GridLines) {
  EXPECT_EQ(kGraphTickFreq.front(), 20);
  EXPECT_EQ(kGraphTickFreq.back(), 19900);
  EXPECT_DOUBLE_EQ(GainGridDb(0), -30.0);
  EXPECT_DOUBLE_EQ(GainGridDb(6), 0.0);
  EXPECT_DOUBLE_EQ(GainGridDb(12), 30.0);
  EXPECT_DOUBLE_EQ(GainGridDb(7), 5.0);
}

TEST(GraphScaleTest, ChannelColours) {
  EXPECT_EQ(ChannelColour(false, 2), (Rgb{255, 0, 255}));
  EXPECT_EQ(ChannelColour(true, 2), (Rgb{255, 128, 0}));
  EXPECT_EQ(ChannelColour(true, 4), ChannelColour(false, 2));
  EXPECT_EQ(ChannelColour(true, 6), ChannelColour(false, 4));
  EXPECT_EQ(ChannelColour(false, 5), (Rgb{}));
}

TEST(GraphScaleTest, DesignPositionsScaleWithTheSize) {
  EXPECT_DOUBLE_EQ(ScaleDesignPosition(3160.0, 12600.0, 630.0), 158.0);
  EXPECT_DOUBLE_EQ(ScaleDesignPosition(100.0, 0.0, 630.0), 0.0);
}

TEST(GraphScaleTest, CursorReadOut) {
  struct Case {
    double x;
    double y;
    const char* text;
  };
  const Case cases[] = {
      {600.0, 150.0, "0dB; 20000Hz"},    {0.0, 150.0, "0dB; 20Hz"},
      {200.0, 0.0, "30dB; 200Hz"},       {400.0, 300.0, "-30dB; 2000Hz"},
      {-50.0, -20.0, "30dB; 20Hz"},      {900.0, 999.0, "-30dB; 20000Hz"},
      {300.0, 151.0, "-0.2dB; 632.5Hz"}, {300.0, 149.9, "0dB; 632.5Hz"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CursorText(ReadCursor(c.x, c.y, 600.0, 300.0)), QString::fromLatin1(c.text))
        << c.x << "," << c.y;
  }
}

}  // namespace
}  // namespace tessaly::graph
