#include <gtest/gtest.h>

#include <QByteArray>
#include <vector>

#include "protocol/MeterReading.h"

namespace tessaly::protocol {
namespace {

std::vector<uint8_t> Bytes(const char* hex) {
  const QByteArray raw = QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
  return {raw.begin(), raw.end()};
}

// Family A (an RK-360, 11.1 dB offset): levels point by point, clip 1 and 4 with standby, limit
// 2 and 3, five words.
const char* kReplyA =
    "A1 1F 00 39  7F 40 01 FF 00  20 64 50 00 7F  00 00 00 00 01  32 0C 81"
    "  7F FF 40 00 00 00 00 01 FF FF  F7";
// Family B: levels only at point 0 channel 6, point 1 channel 1 and point 2 channel 6; clip and
// limit bits 4 and 6 (the reply flags five channels only), sleep beside them, the standby bit only
// in the third (diagnostic) byte, six words and a spare byte.
const char* kReplyB =
    "AA 1F 00 39  00 00 00 00 00 00 01  00 7F 00 00 00 00 00  00 00 00 00 00 00 40"
    "  50 50 20  7F FF 40 00 00 01 7F FF 7F FF 40 00  12 F7";

TEST(MeterReading, LedThresholdEdges) {
  const std::vector<std::pair<double, int>> cases = {
      {8.7, 9},   {8.6, 8},    {5.7, 8},    {5.69, 7},      {-0.3, 6}, {-0.31, 5},
      {-13.2, 2}, {-15.93, 1}, {-15.94, 0}, {kSilentDb, 0}, {17.2, 9},
  };
  for (const auto& [level, lit] : cases) EXPECT_EQ(LitLeds(level), lit) << level;
}

TEST(MeterReading, LevelOffsetPerTypeAndGainReductionWords) {
  struct Level {
    uint8_t byte;
    int type;
    double db;
  };
  for (const Level& c : std::vector<Level>{{127, 1, 11.1},
                                           {127, 0, 10.6},
                                           {127, 2, 10.6},
                                           {127, 3, 10.6},
                                           {64, 2, 4.648},
                                           {0, 1, -60.0}}) {
    EXPECT_NEAR(MeterLevelDb(c.byte, c.type), c.db, 0.001) << int(c.byte) << " type " << c.type;
  }
  const std::vector<std::pair<uint16_t, double>> words = {
      {32767, 0.0}, {16384, -6.021}, {0, -90.309}, {1, -90.309}, {65535, 6.021}};
  for (const auto& [word, db] : words) EXPECT_NEAR(GainReductionDb(word), db, 0.001) << word;
}

TEST(MeterReading, FamilyAGoldenReply) {
  const auto reading = DecodeMeterReply(Bytes(kReplyA), 1);
  ASSERT_TRUE(reading);
  ASSERT_EQ(reading->channel_count, 5);
  struct Row {
    double p0, p1, p2;
    int l0, l1, l2;
    bool clip, limit;
    double reduction;
  };
  const std::vector<Row> rows = {
      {11.1, -0.873, -60, 9, 5, 0, false, false, 0.0},
      {5.148, 9.024, -60, 7, 9, 0, true, false, -6.021},
      {-30.976, 7.086, -60, 0, 8, 0, false, true, -90.309},
      {17.155, -60, -60, 9, 0, 0, false, true, -90.309},
      {-60, 11.1, -30.976, 0, 9, 0, true, false, 6.021},
  };
  for (size_t c = 0; c < rows.size(); ++c) {
    SCOPED_TRACE(c);
    const MeterChannel& ch = reading->channels[c];
    const Row& r = rows[c];
    EXPECT_NEAR(ch.level_db[0], r.p0, 0.001);
    EXPECT_NEAR(ch.level_db[1], r.p1, 0.001);
    EXPECT_NEAR(ch.level_db[2], r.p2, 0.001);
    EXPECT_EQ(ch.leds, (std::array<int, 3>{r.l0, r.l1, r.l2}));
    EXPECT_EQ(ch.clip, r.clip);
    EXPECT_EQ(ch.limit, r.limit);
    ASSERT_TRUE(ch.gain_reduction_db);
    EXPECT_NEAR(*ch.gain_reduction_db, r.reduction, 0.001);
  }
  EXPECT_TRUE(reading->standby);
  EXPECT_FALSE(reading->sleep);
  EXPECT_EQ(reading->extra_flags, 0x81);
}

TEST(MeterReading, FamilyBGoldenReply) {
  const auto reading = DecodeMeterReply(Bytes(kReplyB), 3);
  ASSERT_TRUE(reading);
  ASSERT_EQ(reading->channel_count, 7);
  const auto& ch = reading->channels;
  EXPECT_NEAR(ch[6].level_db[0], -31.476, 0.001);
  EXPECT_NEAR(ch[1].level_db[1], 10.6, 0.001);
  EXPECT_NEAR(ch[6].level_db[2], 4.648, 0.001);
  EXPECT_EQ(ch[1].leds, (std::array<int, 3>{0, 9, 0}));
  EXPECT_EQ(ch[6].leds, (std::array<int, 3>{0, 0, 7}));
  const std::vector<double> reductions = {0.0, -6.021, -90.309, 0.0, 0.0, -6.021};
  for (int c = 0; c < 7; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(ch[c].clip, c == 4);
    EXPECT_EQ(ch[c].limit, c == 4);
    if (c < 6) {
      ASSERT_TRUE(ch[c].gain_reduction_db);
      EXPECT_NEAR(*ch[c].gain_reduction_db, reductions[static_cast<size_t>(c)], 0.001);
    } else {
      EXPECT_FALSE(ch[c].gain_reduction_db);  // the spare byte is no word
    }
  }
  EXPECT_FALSE(reading->standby);  // the third byte's bit 5 is a diagnostic flag
  EXPECT_TRUE(reading->sleep);
}

TEST(MeterReading, StrayRepliesAreNotDecoded) {
  std::vector<uint8_t> wrong_command = Bytes(kReplyA);
  wrong_command[3] = 58;
  std::vector<uint8_t> wrong_end = Bytes(kReplyA);
  wrong_end.back() = 0;
  std::vector<uint8_t> short_reply = Bytes(kReplyA);
  short_reply.pop_back();
  for (const auto& reply : {wrong_command, wrong_end, short_reply}) {
    EXPECT_FALSE(DecodeMeterReply(reply, 0));
  }
  EXPECT_FALSE(DecodeMeterReply(Bytes(kReplyA), 3));  // too short for family B
  EXPECT_FALSE(DecodeMeterReply(Bytes(kReplyB), 0));  // byte 32 is no end byte
}

TEST(MeterReading, DemonstrationDataIsSilentWithoutReduction) {
  for (const int type : {0, 1, 2, 3}) {
    SCOPED_TRACE(type);
    const auto reading = DecodeMeterReply(DemoMeterReply(type), type);
    ASSERT_TRUE(reading);
    EXPECT_EQ(static_cast<int>(DemoMeterReply(type).size()), MeterReplySize(type));
    for (const MeterChannel& ch : reading->Channels()) {
      EXPECT_EQ(ch.leds, (std::array<int, 3>{0, 0, 0}));
      EXPECT_EQ(ch.level_db[0], kSilentDb);
      EXPECT_FALSE(ch.clip || ch.limit);
      if (ch.gain_reduction_db) {
        EXPECT_EQ(*ch.gain_reduction_db, 0.0);
      }
    }
    EXPECT_FALSE(reading->standby || reading->sleep);
  }
}

}  // namespace
}  // namespace tessaly::protocol
