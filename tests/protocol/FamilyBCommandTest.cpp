#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FamilyBSimFixture.h"
#include "comm/DeviceTypes.h"

namespace tessaly::protocol {
namespace {

using test::Band;
using test::Comp;
using test::Gate;
using test::Hex;
using test::Lim;
using test::ProtocolDeviceFixture;
using F = FamilyOperations;
using B = FamilyBOperations;

constexpr int kS = ProtocolDeviceFixture::kSlot;

struct GoldenCase {
  std::function<EditResult(F&, B&)> edit;
  std::vector<std::string> packets;
  std::vector<std::pair<int, int>> image;  // offset, expected byte
  std::vector<std::pair<int, int>> tail;   // tail index, expected byte
};

// Every family B operation on a fresh default image: the exact packets, the bytes they leave in
// the record, and the device's memory agreeing with the record afterwards.
TEST(FamilyB, EveryOperationSendsItsPacketAndTheDeviceAgrees) {
  const std::vector<GoldenCase> cases = {
      {[](F& o, B&) { return o.SendGain(kS, 6, 108); },
       {"8D 1F 00 01 06 00 00 00 00 00 00 6C F7"},
       {{420, 108}},
       {}},
      {[](F& o, B&) { return o.SendDelay(kS, 4, 300, 10); },
       {"8D 1F 00 02 04 00 00 00 00 01 2C 0A F7"},
       {{325, 1}, {326, 44}, {327, 10}},
       {}},
      {[](F& o, B&) { return o.SendPolarity(kS, 5, true); },
       {"8D 1F 00 03 05 00 00 00 00 00 00 01 F7"},
       {{505, 32}},
       {}},
      {[](F& o, B&) { return o.SendMute(kS, 6, true); },
       {"8D 1F 00 09 06 00 00 00 00 00 00 01 F7"},
       {{504, 64}},
       {}},
      {[](F& o, B&) { return o.SendCrossover(kS, 5, 1, 20000, 7); },
       {"8D 1F 00 04 05 01 00 00 00 4E 20 07 F7"},
       {{382, 78}, {383, 32}, {384, 7}},
       {}},
      {[](F& o, B&) { return o.SendCrossover(kS, 4, 0, 80, 3); },
       {"8D 1F 00 04 04 00 00 00 00 00 50 03 F7"},
       {{331, 0}, {332, 80}, {333, 3}},
       {}},
      {[](F& o, B&) { return o.SendEqBand(kS, 3, 11, Band(5, 16000, 50, 40), true); },
       {"8D 1F 00 05 03 0B 01 05 3E 80 32 28 F7"},
       {{309, 5}, {310, 0x3E}, {311, 0x80}, {312, 50}, {313, 40}, {314, 0x08}, {315, 0}},
       {}},
      {[](F& o, B&) { return o.SendEqBand(kS, 6, 4, Band(1, 8000, 100, 0), false); },
       {"8D 1F 00 05 06 04 00 01 1F 40 64 00 F7"},
       {{453, 1}, {454, 0x1F}, {455, 0x40}, {456, 100}, {457, 0}, {458, 0}, {459, 0}},
       {}},
      {[](F& o, B&) { return o.SendEqSwitch(kS, 6, true); },
       {"8D 1F 00 06 06 00 00 00 00 00 00 01 F7"},
       {{507, 63}},
       {}},
      {[](F& o, B&) { return o.SendCompressor(kS, 3, Comp(100, 5, 50, 20, 10, 12), true); },
       {"8D 1F 00 07 03 01 64 05 32 14 0A 0C F7"},
       {{248, 100}, {249, 5}, {250, 50}, {251, 20}, {252, 10}, {253, 12}, {506, 119}},
       {}},
      {[](F& o, B&) { return o.SendLimiter(kS, 4, Lim(100, 30, 20), false); },
       {"8D 1F 00 07 04 00 00 00 00 64 1E 14 F7"},
       {{328, 100}, {329, 30}, {330, 20}, {506, 127}},
       {}},
      {[](F& o, B&) { return o.SendGate(kS, 2, Gate(0, 3, 4, 5)); },
       {"8D 1F 00 1A 02 00 00 00 00 03 04 05 F7"},
       {{160, 0}, {161, 3}, {162, 4}, {163, 5}},
       {}},
      {[](F& o, B&) { return o.SendSpeakerDrive(kS, 2, 0); },
       {"8D 1F 00 19 00 00 00 00 00 00 00 05 F7"},
       {{503, 5}},
       {}},
      {[](F& o, B&) { return o.SendOutputMixer(kS, 6, 2, true, 24); },
       {"8D 1F 00 08 06 00 00 00 98 98 98 1E F7"},
       {{416, 152}, {417, 152}, {418, 152}, {419, 30}},
       {}},
      {[](F& o, B&) { return o.SendInputRouting(kS, 1, 3, true, 20); },
       {"8D 1F 00 1C 01 00 00 00 1E 9E 1E 94 F7"},
       {},
       {{612, 30}, {613, 158}, {614, 30}, {615, 148}}},
      {[](F& o, B&) { return o.SendDigitalMode(kS, 1); },
       {"8D 1F 00 24 00 00 00 00 00 00 00 01 F7"},
       {},
       {{38, 1}}},
      {[](F& o, B&) { return o.SendNoiseGenerator(kS, 1, 25); },
       {"8D 1F 00 1D 00 00 00 00 00 00 01 19 F7"},
       {},
       {{32, 1}, {33, 25}, {34, 0}}},
      {[](F&, B& b) { return b.SendNoiseEnable(kS, true); },
       {"8D 1F 00 1D 00 00 00 00 00 01 00 00 F7"},
       {},
       {{34, 1}}},
      {[](F& o, B&) { return o.SendStandby(kS, true); },
       {"8D 1F 00 2C 01 00 00 00 00 00 00 00 F7"},
       {},
       {{16, 1}}},
      {[](F& o, B&) { return o.SendSleepMode(kS, true); },
       {"8D 1F 00 32 00 00 00 00 00 00 00 01 F7"},
       {},
       {{17, 1}}},
      {[](F& o, B&) { return o.SendMeterMode(kS, 1); },
       {"8D 1F 00 35 00 00 00 00 00 00 00 01 F7"},
       {},
       {{45, 1}}},
      {[](F& o, B&) { return o.SendLink(kS, 2, true); },
       {"8D 1F 00 36 00 00 00 00 00 00 00 04 F7"},
       {{510, 4}},
       {}},
      {[](F& o, B&) { return o.SendLineOut(kS, true); },
       {"8D 1F 00 2E 00 00 00 00 00 00 01 00 F7", "8D 1F 00 11 00 15 00 00 00 00 00 00 F7"},
       {{509, 1}},
       {}},
      {[](F&, B& b) { return b.SendInputTrigger(kS, true); },
       {"8D 1F 00 2E 00 00 00 00 00 00 00 04 F7", "8D 1F 00 11 00 15 00 00 04 00 00 00 F7"},
       {{509, 0}},
       {{21, 4}}},
      {[](F&, B& b) { return b.SendStandbyMirroring(kS, true); },
       {"8D 1F 00 2E 00 00 00 00 00 01 00 00 F7", "8D 1F 00 11 00 15 00 00 00 00 00 00 F7"},
       {},
       {{47, 1}}},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.packets.front());
    ProtocolDeviceFixture fx(comm::kType540S);
    EXPECT_EQ(c.edit(fx.ops(), fx.family_b_), EditResult::kDone);
    EXPECT_EQ(fx.SentHex(), c.packets);
    for (const auto& [offset, value] : c.image) {
      EXPECT_EQ(fx.data().Get(offset), value) << "image byte " << offset;
    }
    for (const auto& [index, value] : c.tail) {
      EXPECT_EQ(fx.data().Tail(index), value) << "tail index " << index;
    }
    EXPECT_EQ(fx.DeviceDifference(), "");
  }
}

// A send's or cross-point's level survives switching it off and on; a level set while it is off
// is stored and comes back with it.
TEST(FamilyB, SwitchingASendOrCrossPointKeepsItsLevel) {
  ProtocolDeviceFixture fx(comm::kType540S);
  ASSERT_EQ(fx.family_b_.SetOutputMixerEnabled(kS, 4, 0, false), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(320), 30);
  ASSERT_EQ(fx.family_b_.SetOutputMixerEnabled(kS, 4, 0, true), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(320), 158);
  EXPECT_EQ(fx.SentHex(), (std::vector<std::string>{"8D 1F 00 08 04 00 00 00 1E 1E 1E 1E F7",
                                                    "8D 1F 00 08 04 00 00 00 9E 1E 1E 1E F7"}));
  ASSERT_EQ(fx.ops().SendOutputMixer(kS, 5, 3, false, 10), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(371), 10);
  ASSERT_EQ(fx.family_b_.SetOutputMixerEnabled(kS, 5, 3, true), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(371), 138);

  ASSERT_EQ(fx.ops().SendInputRouting(kS, 2, 0, false, 5), EditResult::kDone);
  ASSERT_EQ(fx.family_b_.ToggleInputRouting(kS, 2, 0), EditResult::kDone);
  EXPECT_EQ(ReadRouting(fx.data(), 2, 0), 133);
  ASSERT_EQ(fx.family_b_.ToggleInputRouting(kS, 2, 0), EditResult::kDone);
  EXPECT_EQ(ReadRouting(fx.data(), 2, 0), 5);
  // Input 2's four cross-points follow command 28 in source order.
  EXPECT_EQ(Hex(fx.sent.back()), "8D 1F 00 1C 02 00 00 00 05 1E 9E 1E F7");
  EXPECT_EQ(fx.DeviceDifference(), "");
}

TEST(FamilyB, DefaultRoutingAndMixers) {
  ProgramData data(Family::kB);
  LoadDefaultRouting(data);
  const std::vector<std::vector<int>> mixers = {
      {158, 30, 30, 30}, {30, 158, 30, 30}, {152, 152, 30, 30}};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      EXPECT_EQ(data.Tail(608 + 4 * i + j), i == j ? 158 : 30) << i << "," << j;
      if (i < 3) {
        EXPECT_EQ(ReadMixerSend(data, 4 + i, j), mixers[i][j]) << i << "," << j;
      }
    }
  }
  EXPECT_EQ(RoutingTailIndex(3, 3), 623);
  EXPECT_EQ(RoutingTailIndex(4, 0), std::nullopt);
  EXPECT_EQ(RoutingTailIndex(0, -1), std::nullopt);
  EXPECT_EQ(SendLevel(152) - 30, -6);
  EXPECT_TRUE(SendEnabled(152));
  EXPECT_FALSE(SendEnabled(30));
  EXPECT_EQ(ReadMixerSend(data, 3, 0), std::nullopt);
  EXPECT_EQ(ReadMixerSend(data, 4, 4), std::nullopt);
}

// Masks cover channels 0 to 6 and are rebuilt from every channel's flag.
TEST(FamilyB, ChannelMasksSpanAllSevenChannels) {
  ProtocolDeviceFixture fx(comm::kType540S);
  F& ops = fx.ops();
  ASSERT_EQ(ops.SendMute(kS, 0, true), EditResult::kDone);
  ASSERT_EQ(ops.SendMute(kS, 6, true), EditResult::kDone);
  ASSERT_EQ(ops.SendMute(kS, 0, false), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(504), 64);
  ASSERT_EQ(ops.SendPolarity(kS, 3, true), EditResult::kDone);
  ASSERT_EQ(ops.SendPolarity(kS, 4, true), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(505), 24);
  ASSERT_EQ(ops.SendLimiter(kS, 6, Lim(150, 20, 0), true), EditResult::kDone);
  ASSERT_EQ(ops.SendEqSwitch(kS, 5, true), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(506), 63);
  EXPECT_EQ(fx.data().Get(507), 95);
  EXPECT_EQ(fx.DeviceDifference(), "");
}

TEST(FamilyB, MeterModeAndDigitalModeCaptions) {
  EXPECT_EQ(MeterModeCaptions(Family::kB)[0], "Only In 1 L/R");
  EXPECT_EQ(MeterModeCaptions(Family::kB)[1], "Only In 2 L/R");
  EXPECT_EQ(MeterModeCaptions(Family::kB)[2], "Only Out L/R ");
  EXPECT_EQ(MeterModeCaptions(Family::kA)[2], "L/R  In and Out");
  EXPECT_EQ(DigitalModeName(0), "Coaxial");
  EXPECT_EQ(DigitalModeName(1), "Optical");
  EXPECT_EQ(DigitalModeName(2), "");
}

TEST(FamilyB, OutOfRangeEditsAreRefusedWithoutTouchingTheRecord) {
  const std::vector<std::function<EditResult(F&, B&)>> cases = {
      [](F& o, B&) { return o.SendGain(kS, 7, 100); },
      [](F& o, B&) { return o.SendGain(kS, -1, 100); },
      [](F& o, B&) { return o.SendGain(kS, 6, 145); },
      [](F& o, B&) { return o.SendGain(33, 0, 100); },
      [](F& o, B&) { return o.SendDelay(kS, 4, 541, 0); },
      [](F& o, B&) { return o.SendDelay(kS, 0, 851, 0); },
      [](F& o, B&) { return o.SendDelay(kS, 0, 0, 49); },
      [](F& o, B&) { return o.SendCrossover(kS, 3, 0, 100, 1); },
      [](F& o, B&) { return o.SendCrossover(kS, 4, 2, 100, 1); },
      [](F& o, B&) { return o.SendCrossover(kS, 4, 0, 19, 1); },
      [](F& o, B&) { return o.SendCrossover(kS, 4, 0, 100, 9); },
      [](F& o, B&) { return o.SendEqBand(kS, 4, 5, Band(0, 1000, 9, 30), false); },
      [](F& o, B&) { return o.SendEqBand(kS, 0, 12, Band(0, 1000, 9, 30), false); },
      [](F& o, B&) { return o.SendEqBand(kS, 0, 0, Band(6, 1000, 9, 30), false); },
      [](F& o, B&) { return o.SendEqBand(kS, 0, 0, Band(0, 1000, 9, 61), false); },
      [](F& o, B&) { return o.SendEqBand(kS, 0, 0, Band(0, 20001, 9, 30), false); },
      [](F& o, B&) { return o.SendCompressor(kS, 4, Comp(0, 0, 0, 0, 0, 0), false); },
      [](F& o, B&) { return o.SendCompressor(kS, 0, Comp(0, 31, 0, 0, 0, 0), false); },
      [](F& o, B&) { return o.SendLimiter(kS, 3, Lim(0, 0, 0), false); },
      [](F& o, B&) { return o.SendLimiter(kS, 4, Lim(0, 0, 41), false); },
      [](F& o, B&) { return o.SendGate(kS, 4, Gate(1, 0, 0, 0)); },
      [](F& o, B&) { return o.SendGate(kS, 0, Gate(1, 7, 0, 0)); },
      [](F& o, B&) { return o.SendSpeakerDrive(kS, 3, 0); },
      [](F& o, B&) { return o.SendSpeakerDrive(kS, 0, 2); },
      [](F& o, B&) { return o.SendOutputMixer(kS, 3, 0, true, 30); },
      [](F& o, B&) { return o.SendOutputMixer(kS, 7, 0, true, 30); },
      [](F& o, B&) { return o.SendOutputMixer(kS, 4, 4, true, 30); },
      [](F& o, B&) { return o.SendOutputMixer(kS, 4, 0, true, 31); },
      [](F& o, B&) { return o.SendOutputMixer(kS, 4, 0, false, -1); },
      [](F&, B& b) { return b.SetOutputMixerEnabled(kS, 2, 0, true); },
      [](F& o, B&) { return o.SendInputRouting(kS, 4, 0, true, 0); },
      [](F& o, B&) { return o.SendInputRouting(kS, 0, 4, true, 0); },
      [](F& o, B&) { return o.SendInputRouting(kS, 0, 0, true, 31); },
      [](F&, B& b) { return b.ToggleInputRouting(kS, 0, -1); },
      [](F& o, B&) { return o.SendDigitalMode(kS, 2); },
      [](F& o, B&) { return o.SendNoiseGenerator(kS, 2, 0); },
      [](F& o, B&) { return o.SendNoiseGenerator(kS, 0, 41); },
      [](F& o, B&) { return o.SendMeterMode(kS, 3); },
      [](F& o, B&) { return o.SendLink(kS, 7, true); },
      [](F& o, B&) { return o.SendPolarity(kS, 7, true); },
      [](F& o, B&) { return o.SendMute(kS, 7, true); },
      [](F& o, B&) { return o.SendEqSwitch(kS, 7, true); },
  };
  ProtocolDeviceFixture fx(comm::kType540S);
  const auto before = fx.data().Record();
  const std::vector<uint8_t> record(before.begin(), before.end());
  const SlotState state = fx.state();
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(cases[i](fx.ops(), fx.family_b_), EditResult::kRefused) << "case " << i;
    const auto after = fx.data().Record();
    EXPECT_TRUE(std::equal(after.begin(), after.end(), record.begin())) << "case " << i;
  }
  EXPECT_EQ(fx.state().mute, state.mute);
  EXPECT_EQ(fx.state().link_member, state.link_member);
  EXPECT_EQ(fx.state().noise_type, state.noise_type);
  EXPECT_TRUE(fx.sent.isEmpty());
  EXPECT_EQ(fx.device().ReceivedCount(), 0);
  // Family A's own operations do not exist for the 540S.
  EXPECT_EQ(fx.ops().SendOutputSource(kS, 4, 1), EditResult::kNotSupported);
  EXPECT_EQ(fx.ops().SendInputMode(kS, InputModeField::kSource, 1), EditResult::kNotSupported);
}

TEST(FamilyBOnFamilyADevice, NeverReachesTheFamilyBOperations) {
  for (int type : {comm::kTypeRk540, comm::kTypeRk360, comm::kTypeRl4800}) {
    SCOPED_TRACE(type);
    ProtocolDeviceFixture fx(type);
    F& ops = fx.ops();
    EXPECT_EQ(&ops, &fx.family_a_);
    EXPECT_EQ(ops.SendOutputMixer(kS, 4, 0, true, 30), EditResult::kNotSupported);
    EXPECT_EQ(ops.SendInputRouting(kS, 0, 0, true, 30), EditResult::kNotSupported);
    EXPECT_EQ(ops.SendDigitalMode(kS, 1), EditResult::kNotSupported);
    // Called directly, the family B module refuses a family A slot.
    EXPECT_EQ(fx.family_b_.SendGain(kS, 0, 100), EditResult::kRefused);
    EXPECT_EQ(fx.family_b_.SendNoiseEnable(kS, true), EditResult::kRefused);
    EXPECT_TRUE(fx.sent.isEmpty());
  }
}

}  // namespace
}  // namespace tessaly::protocol
