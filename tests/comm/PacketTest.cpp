#include <gtest/gtest.h>

#include <vector>

#include "comm/Packet.h"
#include "device/Commands.h"

namespace tessaly::comm {
namespace {

TEST(FramePacket, ExactBytes) {
  struct Case {
    uint8_t address, command;
    Params params;
    std::vector<uint8_t> data;
    int16_t connection_mode;
    const char* hex;
  };
  const Case cases[] = {
      {0, 5, {1, 2, 3, 4, 5, 6, 7, 8}, {}, 0, "8D1F00050102030405060708F7"},
      {0, 1, {1, 0, 0, 0, 0, 0, 0, 127}, {}, 0, "8D1F0001010000000000007FF7"},
      // Command 0 carries the connection mode in byte 11 whatever P8 says.
      {0, device::kCmdIdentify, {0, 0, 0, 0, 0, 0, 0, 0}, {}, 1, "8D1F00000000000000000001F7"},
      {0, device::kCmdIdentify, {0, 0, 0, 0, 0, 0, 0, 9}, {}, 0, "8D1F00000000000000000000F7"},
      {7, device::kCmdProbeA, {}, {}, 0, "8D1F07770000000000000000F7"},
      {0,
       device::kCmdWriteBlock,
       {0x01, 0x20, 4, 9, 9, 9, 9, 9},
       {0x11, 0x22, 0x33, 0x44},
       0,
       "8C1F005C01200411223344F7"},
      {0, device::kCmdDataBlock, {0, 0, 0}, {}, 0, "881F005E000000F7"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FramePacket(c.address, c.command, c.params, c.data, c.connection_mode).toHex(),
              QByteArray::fromHex(c.hex).toHex());
  }
  // The longest data block starts with C9; one byte more, or a P3 past the data, is refused.
  std::vector<uint8_t> data(kMaxDataBytes + 1, 0xAA);
  const QByteArray longest = FramePacket(0, device::kCmdWriteBlock, {0, 0, kMaxDataBytes}, data, 0);
  ASSERT_EQ(longest.size(), 73);
  EXPECT_EQ(static_cast<uint8_t>(longest[0]), 0xC9);
  EXPECT_EQ(static_cast<uint8_t>(longest[72]), kEndMarker);
  EXPECT_TRUE(FramePacket(0, device::kCmdWriteBlock, {0, 0, kMaxDataBytes + 1}, data, 0).isEmpty());
  EXPECT_TRUE(
      FramePacket(0, device::kCmdWriteBlock, {0, 0, 8}, std::vector<uint8_t>(4), 0).isEmpty());
}

TEST(ClassifyReply, AwaitedBytesAndWaitLimitsPerCommandClass) {
  // command, P3, device type, awaited bytes, wait limit
  const int cases[][5] = {
      {93, 32, 0, 37, 20000}, {95, 16, 3, 21, 20000}, {95, 8, 1, 13, 20000}, {57, 0, 3, 42, 3000},
      {57, 0, 0, 33, 3000},   {57, 0, 2, 33, 3000},   {6, 0, 0, 13, 20000},  {15, 0, 0, 13, 20000},
      {31, 0, 0, 13, 20000},  {34, 0, 0, 13, 20000},  {49, 0, 0, 13, 20000}, {55, 0, 0, 13, 20000},
      {92, 32, 0, 13, 20000}, {94, 32, 0, 13, 20000}, {18, 0, 0, 13, 2000},  {23, 0, 0, 13, 2000},
      {39, 0, 0, 13, 2000},   {0, 0, 0, 13, 5000},    {1, 0, 0, 13, 5000},   {58, 0, 0, 13, 5000},
      {119, 0, 0, 13, 5000},  {127, 0, 0, 13, 5000},  {50, 0, 0, 13, 5000},  {143, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const ReplyClass reply =
        ClassifyReply(static_cast<uint8_t>(c[0]), static_cast<uint8_t>(c[1]), c[2]);
    EXPECT_EQ(reply.awaited_bytes, c[3]) << c[0] << " type " << c[2];
    EXPECT_EQ(reply.wait_limit_ms, c[4]) << c[0] << " type " << c[2];
  }
}

TEST(SplitToBytes, BigEndianRoundedAndBoundsChecked) {
  std::array<uint8_t, 31> bytes{};
  ASSERT_TRUE(SplitToBytes(0x1234 + 0.6, 0, bytes));
  EXPECT_EQ((std::array<uint8_t, 4>{bytes[0], bytes[1], bytes[2], bytes[3]}),
            (std::array<uint8_t, 4>{0x00, 0x00, 0x12, 0x35}));
  ASSERT_TRUE(SplitToBytes(0x0A0B0C0D, 27, bytes));
  EXPECT_EQ(bytes[27], 0x0A);
  EXPECT_EQ(bytes[30], 0x0D);
  EXPECT_FALSE(SplitToBytes(1, 28, bytes));
  EXPECT_FALSE(SplitToBytes(1, -1, bytes));
}

}  // namespace
}  // namespace tessaly::comm
