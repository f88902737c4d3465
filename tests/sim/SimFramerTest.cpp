#include <gtest/gtest.h>

#include "sim/SimFramer.h"

namespace tessaly::sim {
namespace {

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

const char* const kKeepAlive = "8d1f003a0000000000000000f7";
const char* const kBlock4 = "8c1f005c01400411223344f7";  // 92 at 0x0140, four data bytes

struct FramerCase {
  const char* name;
  std::vector<const char*> chunks;  // fed in this order
  std::vector<const char*> packets;
  int skipped;
};

class SimFramerTest : public ::testing::TestWithParam<FramerCase> {};

TEST_P(SimFramerTest, CutsTheStreamIntoPackets) {
  const FramerCase& c = GetParam();
  SimFramer framer;
  QList<QByteArray> packets;
  for (const char* chunk : c.chunks) packets.append(framer.Feed(Hex(chunk)));
  ASSERT_EQ(packets.size(), static_cast<qsizetype>(c.packets.size()));
  for (size_t i = 0; i < c.packets.size(); ++i) {
    EXPECT_EQ(packets[i].toHex(), Hex(c.packets[i]).toHex()) << "packet " << i;
  }
  EXPECT_EQ(framer.skipped(), c.skipped);
  EXPECT_EQ(framer.pending(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, SimFramerTest,
    ::testing::Values(
        FramerCase{"Plain", {kKeepAlive}, {kKeepAlive}, 0},
        FramerCase{"TwoInOneRead",
                   {"8d1f003a0000000000000000f7"
                    "8d1f00000000000000000000f7"},
                   {kKeepAlive, "8d1f00000000000000000000f7"},
                   0},
        FramerCase{"SplitEveryWay", {"8d", "1f00", "3a00000000", "00000000f7"}, {kKeepAlive}, 0},
        FramerCase{"DataBlock", {kBlock4}, {kBlock4}, 0},
        FramerCase{"DataBlockSplitInData", {"8c1f005c014004112233", "44f7"}, {kBlock4}, 0},
        FramerCase{"LeadingNoise", {"00ff1f42", kKeepAlive}, {kKeepAlive}, 4},
        // A header whose end marker is missing is noise; the real packet behind it is found.
        FramerCase{"FalseHeader", {"8d1f", kKeepAlive}, {kKeepAlive}, 2},
        // A plain command announcing another length, and a block whose P3 disagrees.
        FramerCase{"WrongPlainLength", {"8c1f003a00000000000000f7", kKeepAlive}, {kKeepAlive}, 12},
        FramerCase{
            "BlockCountMismatch", {"8c1f005c01400511223344f7", kKeepAlive}, {kKeepAlive}, 12},
        FramerCase{"NoiseBetween", {kKeepAlive, "f7f7", kBlock4}, {kKeepAlive, kBlock4}, 2}),
    [](const ::testing::TestParamInfo<FramerCase>& info) { return info.param.name; });

TEST(SimFramerHold, WaitsForTheRestOfAPacket) {
  SimFramer framer;
  EXPECT_TRUE(framer.Feed(Hex("8d1f003a00")).isEmpty());
  EXPECT_EQ(framer.pending(), 5);
  EXPECT_EQ(framer.Feed(Hex("00000000000000f7")).size(), 1);
}

TEST(SimFramerHold, LongestBlockIsAccepted) {
  QByteArray block =
      Hex("c91f005e0300"
          "41");
  block.append(QByteArray(65, '\x11'));
  block.append('\xf7');
  SimFramer framer;
  const QList<QByteArray> packets = framer.Feed(block);
  ASSERT_EQ(packets.size(), 1);
  EXPECT_EQ(packets[0].size(), 73);
}

}  // namespace
}  // namespace tessaly::sim
