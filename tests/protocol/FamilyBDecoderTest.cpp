#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "protocol/DefaultImage.h"
#include "sim/ParameterDecoder.h"

// The emulated 540S's own reading of the parameter commands: what the PC-side tests cannot
// reach through a well-behaved editor (malformed and out-of-range packets, partial bit updates).
namespace tessaly::sim {
namespace {

std::vector<uint8_t> Packet(uint8_t command, std::array<uint8_t, 8> p) {
  std::vector<uint8_t> packet(13, 0);
  packet[0] = 0x8D;
  packet[1] = 0x1F;
  packet[3] = command;
  std::copy(p.begin(), p.end(), packet.begin() + 4);
  packet[12] = 0xF7;
  return packet;
}

class FamilyBDecoder : public ::testing::Test {
 protected:
  FamilyBDecoder() : settings_(850, 0) {
    const QByteArray& image = protocol::DefaultImage(3);
    image_.assign(image.begin(), image.end());
  }

  bool Apply(const std::vector<uint8_t>& packet) {
    return ApplyFamilyBCommand(image_, settings_, packet);
  }

  std::vector<uint8_t> image_;
  std::vector<uint8_t> settings_;
};

TEST_F(FamilyBDecoder, RefusesPacketsOutsideTheFamilyWithoutTouchingMemory) {
  const std::vector<std::vector<uint8_t>> refused = {
      Packet(1, {7, 0, 0, 0, 0, 0, 0, 100}),                // gain of channel 7
      Packet(2, {255, 0, 0, 0, 0, 1, 2, 3}),                // delay of channel 255
      Packet(4, {3, 0, 0, 0, 0, 0, 80, 1}),                 // crossover of an input
      Packet(4, {4, 2, 0, 0, 0, 0, 80, 1}),                 // crossover filter 2
      Packet(5, {0, 12, 0, 0, 3, 0, 9, 30}),                // band 12 of an input
      Packet(5, {6, 5, 0, 0, 3, 0, 9, 30}),                 // band 5 of an output
      Packet(8, {3, 0, 0, 0, 158, 30, 30, 30}),             // mixer of an input
      Packet(26, {4, 0, 0, 0, 0, 1, 2, 3}),                 // gate of an output
      Packet(28, {4, 0, 0, 0, 158, 30, 30, 30}),            // routing of input 4
      Packet(100, {0, 0, 0, 0, 0, 0, 0, 0}),                // not a parameter command
      {0x8C, 0x1F, 0x00, 0x01, 0x04, 0, 0, 0, 0, 0, 0xF7},  // short packet
  };
  const auto image = image_;
  const auto settings = settings_;
  for (const auto& packet : refused) EXPECT_FALSE(Apply(packet)) << int{packet[3]};
  EXPECT_EQ(image_, image);
  EXPECT_EQ(settings_, settings);
  // Settings writes are whole or nothing.
  std::vector<uint8_t> small(34, 7);
  EXPECT_FALSE(ApplyFamilyBCommand(image_, small, Packet(29, {0, 0, 0, 0, 0, 1, 1, 20})));
  EXPECT_FALSE(ApplyFamilyBCommand(image_, small, Packet(28, {0, 0, 0, 0, 1, 2, 3, 4})));
  EXPECT_EQ(small, std::vector<uint8_t>(34, 7));
}

// Bits the PC never moves alone: one band's bypass flag, an output limiter beside its high-pass.
TEST_F(FamilyBDecoder, PartialUpdatesMoveOnlyTheirOwnBytes) {
  ASSERT_TRUE(Apply(Packet(5, {5, 4, 1, 0, 0x1F, 0x40, 9, 30})));
  ASSERT_TRUE(Apply(Packet(5, {5, 1, 1, 0, 0x03, 0xE8, 9, 30})));
  EXPECT_EQ(image_[411], 0x12);
  ASSERT_TRUE(Apply(Packet(5, {5, 4, 0, 1, 0x1F, 0x40, 9, 30})));
  EXPECT_EQ(image_[411], 0x02);
  EXPECT_EQ(std::vector<uint8_t>(image_.begin() + 405, image_.begin() + 412),
            (std::vector<uint8_t>{1, 0x1F, 0x40, 9, 30, 0, 0x02}));
  const uint8_t high_pass = image_[427];
  ASSERT_TRUE(Apply(Packet(7, {6, 0, 99, 99, 99, 40, 41, 42})));
  EXPECT_EQ(std::vector<uint8_t>(image_.begin() + 424, image_.begin() + 428),
            (std::vector<uint8_t>{40, 41, 42, high_pass}));
}

}  // namespace
}  // namespace tessaly::sim
