#include "protocol/ScaleWord.h"

#include <gtest/gtest.h>

#include <array>

#include "comm/CommState.h"
#include "comm/Packet.h"

namespace tessaly::protocol {
namespace {

TEST(ScaleWord, SplitToBytesOnTheAddressBytesArray) {
  std::array<uint8_t, comm::kAddressBytesSize> bytes{};
  bytes.fill(0xAA);
  ASSERT_TRUE(comm::SplitToBytes(20000, 0, bytes));
  EXPECT_EQ(bytes[0], 0);
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[2], 78);
  EXPECT_EQ(bytes[3], 32);
  EXPECT_EQ(bytes[4], 0xAA);
  // Positions 0 to 27 fit the 31 bytes; 28 would write past the end and is refused untouched.
  EXPECT_TRUE(comm::SplitToBytes(1, 27, bytes));
  bytes.fill(0xAA);
  EXPECT_FALSE(comm::SplitToBytes(1, 28, bytes));
  EXPECT_FALSE(comm::SplitToBytes(1, -1, bytes));
  for (uint8_t b : bytes) EXPECT_EQ(b, 0xAA);
}

TEST(ScaleWord, SplitAndJoin) {
  EXPECT_EQ(SplitWord(20000), (WordBytes{78, 32}));
  EXPECT_EQ(SplitWord(19999.6), (WordBytes{78, 32}));
  EXPECT_EQ(SplitWord(20), (WordBytes{0, 20}));
  EXPECT_EQ(SplitWord(2049), (WordBytes{8, 1}));
  EXPECT_EQ(SplitWord(65535), (WordBytes{255, 255}));
  EXPECT_EQ(SplitWord(65536), (WordBytes{0, 0}));  // only the low 16 bits travel
  EXPECT_EQ(JoinWord(78, 32), 20000);
  EXPECT_EQ(JoinWord(255, 255), 65535);
  for (int value = 0; value <= 0xFFFF; ++value) {
    const WordBytes bytes = SplitWord(value);
    ASSERT_EQ(JoinWord(bytes.high, bytes.low), value);
  }
}

TEST(ScaleWord, TypedFrequencyIsClampedAndRounded) {
  const std::array<std::pair<double, int>, 8> cases = {{
      {25000, 20000},
      {5, 20},
      {20, 20},
      {20000, 20000},
      {1000.4, 1000},
      {1000.5, 1001},
      {-100, 20},
      {19.6, 20},
  }};
  for (const auto& [typed, hz] : cases) EXPECT_EQ(FrequencyFromTyped(typed), hz) << typed;
}

}  // namespace
}  // namespace tessaly::protocol
