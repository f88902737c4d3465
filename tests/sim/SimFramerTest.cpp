#include <gtest/gtest.h>

#include "sim/SimFramer.h"

namespace tessaly::sim {
namespace {

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

const char* const kKeepAlive = "8d1f003a0000000000000000f7";
const char* const kBlock4 = "8c1f005c01400411223344f7";  // 92 at 0x0140, four data bytes

TEST(SimFramer, CutsTheStreamIntoPackets) {
  struct Case {
    std::vector<const char*> chunks;  // fed in this order
    std::vector<const char*> packets;
    int skipped;
  };
  const Case cases[] = {
      {{kKeepAlive}, {kKeepAlive}, 0},
      {{"8d1f003a0000000000000000f78d1f00000000000000000000f7"},
       {kKeepAlive, "8d1f00000000000000000000f7"},
       0},
      {{"8d", "1f00", "3a00000000", "00000000f7"}, {kKeepAlive}, 0},
      {{kBlock4}, {kBlock4}, 0},
      {{"8c1f005c014004112233", "44f7"}, {kBlock4}, 0},
      {{"00ff1f42", kKeepAlive}, {kKeepAlive}, 4},
      // A header whose end marker is missing is noise; the real packet behind it is found.
      {{"8d1f", kKeepAlive}, {kKeepAlive}, 2},
      // A plain command announcing another length, and a block whose P3 disagrees.
      {{"8c1f003a00000000000000f7", kKeepAlive}, {kKeepAlive}, 12},
      {{"8c1f005c01400511223344f7", kKeepAlive}, {kKeepAlive}, 12},
      {{kKeepAlive, "f7f7", kBlock4}, {kKeepAlive, kBlock4}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    SimFramer framer;
    QList<QByteArray> packets;
    for (const char* chunk : c.chunks) packets.append(framer.Feed(Hex(chunk)));
    QList<QByteArray> expected;
    for (const char* packet : c.packets) expected << Hex(packet);
    EXPECT_EQ(packets, expected);
    EXPECT_EQ(framer.skipped(), c.skipped);
    EXPECT_EQ(framer.pending(), 0);
  }
}

TEST(SimFramer, WaitsForTheRestOfAPacketAndTakesTheLongestBlock) {
  SimFramer framer;
  EXPECT_TRUE(framer.Feed(Hex("8d1f003a00")).isEmpty());
  EXPECT_EQ(framer.pending(), 5);
  EXPECT_EQ(framer.Feed(Hex("00000000000000f7")).size(), 1);
  const QByteArray block = Hex("c91f005e030041") + QByteArray(65, '\x11') + Hex("f7");
  const QList<QByteArray> packets = framer.Feed(block);
  ASSERT_EQ(packets.size(), 1);
  EXPECT_EQ(packets[0].size(), 73);
}

}  // namespace
}  // namespace tessaly::sim
