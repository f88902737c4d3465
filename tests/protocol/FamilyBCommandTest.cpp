#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FamilyBSimFixture.h"
#include "comm/DeviceTypes.h"

namespace tessaly::protocol {
namespace {

using test::Hex;
using test::ProtocolDeviceFixture;

constexpr int kSlot = ProtocolDeviceFixture::kSlot;

class FamilyBTest : public ::testing::Test {
 protected:
  FamilyBTest() : fx_(comm::kType540S) { fx_.ReadOutSettings(); }

  FamilyOperations& ops() { return fx_.dispatcher_.For(kSlot); }
  FamilyBOperations& b() { return fx_.family_b_; }
  std::vector<std::string> SentHex() const {
    std::vector<std::string> out;
    for (const QByteArray& packet : fx_.sent) out.push_back(Hex(packet));
    return out;
  }

  ProtocolDeviceFixture fx_;
};

struct GoldenCase {
  const char* name;
  std::function<EditResult(FamilyOperations&, FamilyBOperations&)> edit;
  std::vector<std::string> packets;
  std::vector<std::pair<int, int>> image;  // offset, expected byte
  std::vector<std::pair<int, int>> tail;   // tail index, expected byte
};

// Every family B operation on a fresh default image: the exact packets, the bytes they leave in
// the record, and the device's memory agreeing with the record afterwards.
const std::vector<GoldenCase>& GoldenCases() {
  static const std::vector<GoldenCase> kCases = {
      {"gain of Sub",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendGain(kSlot, 6, 108); },
       {"8D 1F 00 01 06 00 00 00 00 00 00 6C F7"},
       {{420, 108}},
       {}},
      {"delay of Left",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendDelay(kSlot, 4, 300, 10); },
       {"8D 1F 00 02 04 00 00 00 00 01 2C 0A F7"},
       {{325, 1}, {326, 44}, {327, 10}},
       {}},
      {"polarity of Right",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendPolarity(kSlot, 5, true); },
       {"8D 1F 00 03 05 00 00 00 00 00 00 01 F7"},
       {{505, 32}},
       {}},
      {"mute of Sub",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendMute(kSlot, 6, true); },
       {"8D 1F 00 09 06 00 00 00 00 00 00 01 F7"},
       {{504, 64}},
       {}},
      {"low-pass of Right",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendCrossover(kSlot, 5, 1, 20000, 7); },
       {"8D 1F 00 04 05 01 00 00 00 4E 20 07 F7"},
       {{382, 78}, {383, 32}, {384, 7}},
       {}},
      {"high-pass of Left",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendCrossover(kSlot, 4, 0, 80, 3); },
       {"8D 1F 00 04 04 00 00 00 00 00 50 03 F7"},
       {{331, 0}, {332, 80}, {333, 3}},
       {}},
      {"last band of In2R, bypassed",
       [](FamilyOperations& o, FamilyBOperations&) {
         return o.SendEqBand(kSlot, 3, 11, {5, 16000, 50, 40}, true);
       },
       {"8D 1F 00 05 03 0B 01 05 3E 80 32 28 F7"},
       {{309, 5}, {310, 0x3E}, {311, 0x80}, {312, 50}, {313, 40}, {314, 0x08}, {315, 0}},
       {}},
      {"last band of Sub",
       [](FamilyOperations& o, FamilyBOperations&) {
         return o.SendEqBand(kSlot, 6, 4, {1, 8000, 100, 0}, false);
       },
       {"8D 1F 00 05 06 04 00 01 1F 40 64 00 F7"},
       {{453, 1}, {454, 0x1F}, {455, 0x40}, {456, 100}, {457, 0}, {458, 0}, {459, 0}},
       {}},
      {"EQ switch of Sub",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendEqSwitch(kSlot, 6, true); },
       {"8D 1F 00 06 06 00 00 00 00 00 00 01 F7"},
       {{507, 63}},
       {}},
      {"compressor of In2R, bypassed",
       [](FamilyOperations& o, FamilyBOperations&) {
         return o.SendCompressor(kSlot, 3, {100, 5, 50, 20, 10, 12}, true);
       },
       {"8D 1F 00 07 03 01 64 05 32 14 0A 0C F7"},
       {{248, 100}, {249, 5}, {250, 50}, {251, 20}, {252, 10}, {253, 12}, {506, 119}},
       {}},
      {"limiter of Left",
       [](FamilyOperations& o, FamilyBOperations&) {
         return o.SendLimiter(kSlot, 4, {100, 30, 20}, false);
       },
       {"8D 1F 00 07 04 00 00 00 00 64 1E 14 F7"},
       {{328, 100}, {329, 30}, {330, 20}, {506, 127}},
       {}},
      {"gate of In2L",
       [](FamilyOperations& o, FamilyBOperations&) {
         return o.SendGate(kSlot, 2, {0, 3, 4, 5});
       },
       {"8D 1F 00 1A 02 00 00 00 00 03 04 05 F7"},
       {{160, 0}, {161, 3}, {162, 4}, {163, 5}},
       {}},
      {"speaker drive of Sub",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendSpeakerDrive(kSlot, 2, 0); },
       {"8D 1F 00 19 00 00 00 00 00 00 00 05 F7"},
       {{503, 5}},
       {}},
      {"In2L into Sub at -6 dB",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendOutputMixer(kSlot, 6, 2, true, 24); },
       {"8D 1F 00 08 06 00 00 00 98 98 98 1E F7"},
       {{416, 152}, {417, 152}, {418, 152}, {419, 30}},
       {}},
      {"DIG R into In1R at -10 dB",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendInputRouting(kSlot, 1, 3, true, 20); },
       {"8D 1F 00 1C 01 00 00 00 1E 9E 1E 94 F7"},
       {},
       {{612, 30}, {613, 158}, {614, 30}, {615, 148}}},
      {"optical input",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendDigitalMode(kSlot, 1); },
       {"8D 1F 00 24 00 00 00 00 00 00 00 01 F7"},
       {},
       {{38, 1}}},
      {"pink noise at -15 dB",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendNoiseGenerator(kSlot, 1, 25); },
       {"8D 1F 00 1D 00 00 00 00 00 00 01 19 F7"},
       {},
       {{32, 1}, {33, 25}, {34, 0}}},
      {"noise generator switched on",
       [](FamilyOperations&, FamilyBOperations& b) { return b.SendNoiseEnable(kSlot, true); },
       {"8D 1F 00 1D 00 00 00 00 00 01 00 00 F7"},
       {},
       {{34, 1}}},
      {"standby",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendStandby(kSlot, true); },
       {"8D 1F 00 2C 01 00 00 00 00 00 00 00 F7"},
       {},
       {{16, 1}}},
      {"sleep mode",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendSleepMode(kSlot, true); },
       {"8D 1F 00 32 00 00 00 00 00 00 00 01 F7"},
       {},
       {{17, 1}}},
      {"meter mode In 2",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendMeterMode(kSlot, 1); },
       {"8D 1F 00 35 00 00 00 00 00 00 00 01 F7"},
       {},
       {{45, 1}}},
      {"link of In2L",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendLink(kSlot, 2, true); },
       {"8D 1F 00 36 00 00 00 00 00 00 00 04 F7"},
       {{510, 4}},
       {}},
      {"line output",
       [](FamilyOperations& o, FamilyBOperations&) { return o.SendLineOut(kSlot, true); },
       {"8D 1F 00 2E 00 00 00 00 00 00 01 00 F7", "8D 1F 00 11 00 15 00 00 00 00 00 00 F7"},
       {{509, 1}},
       {}},
      {"input trigger",
       [](FamilyOperations&, FamilyBOperations& b) { return b.SendInputTrigger(kSlot, true); },
       {"8D 1F 00 2E 00 00 00 00 00 00 00 04 F7", "8D 1F 00 11 00 15 00 00 04 00 00 00 F7"},
       {{509, 0}},
       {{21, 4}}},
      {"standby mirroring",
       [](FamilyOperations&, FamilyBOperations& b) { return b.SendStandbyMirroring(kSlot, true); },
       {"8D 1F 00 2E 00 00 00 00 00 01 00 00 F7", "8D 1F 00 11 00 15 00 00 00 00 00 00 F7"},
       {},
       {{47, 1}}},
  };
  return kCases;
}

TEST_F(FamilyBTest, EveryOperationSendsItsPacketAndTheDeviceAgrees) {
  for (const GoldenCase& c : GoldenCases()) {
    SCOPED_TRACE(c.name);
    ProtocolDeviceFixture fx(comm::kType540S);
    fx.ReadOutSettings();
    EXPECT_EQ(c.edit(fx.dispatcher_.For(kSlot), fx.family_b_), EditResult::kDone);
    std::vector<std::string> sent;
    for (const QByteArray& packet : fx.sent) sent.push_back(Hex(packet));
    EXPECT_EQ(sent, c.packets);
    for (const auto& [offset, value] : c.image) {
      EXPECT_EQ(fx.data().Get(offset), value) << "image byte " << offset;
    }
    for (const auto& [index, value] : c.tail) {
      EXPECT_EQ(fx.data().Tail(index), value) << "tail index " << index;
    }
    EXPECT_EQ(fx.DeviceDifference(), "");
  }
}

TEST_F(FamilyBTest, DisablingASendKeepsItsLevelForWhenItIsEnabledAgain) {
  ASSERT_EQ(b().SetOutputMixerEnabled(kSlot, 4, 0, false), EditResult::kDone);
  EXPECT_EQ(fx_.data().Get(320), 30);
  ASSERT_EQ(b().SetOutputMixerEnabled(kSlot, 4, 0, true), EditResult::kDone);
  EXPECT_EQ(fx_.data().Get(320), 158);
  EXPECT_EQ(SentHex(), (std::vector<std::string>{"8D 1F 00 08 04 00 00 00 1E 1E 1E 1E F7",
                                                 "8D 1F 00 08 04 00 00 00 9E 1E 1E 1E F7"}));

  // A level set while the send is off is stored and comes back with the send.
  ASSERT_EQ(ops().SendOutputMixer(kSlot, 5, 3, false, 10), EditResult::kDone);
  EXPECT_EQ(fx_.data().Get(371), 10);
  ASSERT_EQ(b().SetOutputMixerEnabled(kSlot, 5, 3, true), EditResult::kDone);
  EXPECT_EQ(fx_.data().Get(371), 138);
  EXPECT_EQ(fx_.DeviceDifference(), "");
}

TEST_F(FamilyBTest, SwitchingACrossPointOffAndOnChangesOnlyItsTopBit) {
  ASSERT_EQ(ops().SendInputRouting(kSlot, 2, 0, false, 5), EditResult::kDone);
  const auto before = fx_.data().Record();
  const std::vector<uint8_t> record(before.begin(), before.end());

  ASSERT_EQ(b().ToggleInputRouting(kSlot, 2, 0), EditResult::kDone);
  EXPECT_EQ(ReadRouting(fx_.data(), 2, 0), 133);
  ASSERT_EQ(b().ToggleInputRouting(kSlot, 2, 0), EditResult::kDone);
  EXPECT_EQ(ReadRouting(fx_.data(), 2, 0), 5);
  const auto after = fx_.data().Record();
  EXPECT_TRUE(std::equal(after.begin(), after.end(), record.begin()));
  // Input 2's four cross-points follow command 28 in source order.
  EXPECT_EQ(Hex(fx_.sent.back()), "8D 1F 00 1C 02 00 00 00 05 1E 9E 1E F7");
  EXPECT_EQ(fx_.DeviceDifference(), "");
}

TEST_F(FamilyBTest, ResetRoutingFeedsEachInputFromItsOwnSourceAtZeroDb) {
  ProgramData data(Family::kB);
  LoadDefaultRouting(data);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      EXPECT_EQ(data.Tail(608 + 4 * i + j), i == j ? 158 : 30) << i << "," << j;
    }
  }
  EXPECT_EQ(RoutingTailIndex(3, 3), 623);
  EXPECT_EQ(RoutingTailIndex(4, 0), std::nullopt);
  EXPECT_EQ(RoutingTailIndex(0, -1), std::nullopt);
}

TEST_F(FamilyBTest, DefaultMixersMatchTheFactoryProgram) {
  const std::vector<std::vector<int>> expected = {
      {158, 30, 30, 30}, {30, 158, 30, 30}, {152, 152, 30, 30}};
  for (int out = 0; out < 3; ++out) {
    for (int in = 0; in < 4; ++in) {
      const auto send = ReadMixerSend(fx_.data(), 4 + out, in);
      ASSERT_TRUE(send.has_value());
      EXPECT_EQ(*send, expected[out][in]);
    }
  }
  EXPECT_EQ(SendLevel(152) - 30, -6);
  EXPECT_TRUE(SendEnabled(152));
  EXPECT_FALSE(SendEnabled(30));
  EXPECT_EQ(ReadMixerSend(fx_.data(), 3, 0), std::nullopt);
  EXPECT_EQ(ReadMixerSend(fx_.data(), 4, 4), std::nullopt);
}

// Masks cover channels 0 to 6 and are rebuilt from every channel's flag.
TEST_F(FamilyBTest, ChannelMasksSpanAllSevenChannels) {
  ASSERT_EQ(ops().SendMute(kSlot, 0, true), EditResult::kDone);
  ASSERT_EQ(ops().SendMute(kSlot, 6, true), EditResult::kDone);
  EXPECT_EQ(fx_.data().Get(504), 65);
  ASSERT_EQ(ops().SendMute(kSlot, 0, false), EditResult::kDone);
  EXPECT_EQ(fx_.data().Get(504), 64);
  ASSERT_EQ(ops().SendPolarity(kSlot, 3, true), EditResult::kDone);
  ASSERT_EQ(ops().SendPolarity(kSlot, 4, true), EditResult::kDone);
  EXPECT_EQ(fx_.data().Get(505), 24);
  ASSERT_EQ(ops().SendLimiter(kSlot, 6, {150, 20, 0}, true), EditResult::kDone);
  ASSERT_EQ(ops().SendEqSwitch(kSlot, 5, true), EditResult::kDone);
  EXPECT_EQ(fx_.data().Get(506), 63);
  EXPECT_EQ(fx_.data().Get(507), 95);
  ASSERT_EQ(ops().SendEqSwitch(kSlot, 5, false), EditResult::kDone);
  EXPECT_EQ(fx_.data().Get(507), 127);
  EXPECT_EQ(fx_.DeviceDifference(), "");
}

TEST_F(FamilyBTest, MeterModeAndDigitalModeCaptions) {
  EXPECT_EQ(MeterModeCaptions(Family::kB)[0], "Only In 1 L/R");
  EXPECT_EQ(MeterModeCaptions(Family::kB)[1], "Only In 2 L/R");
  EXPECT_EQ(MeterModeCaptions(Family::kB)[2], "Only Out L/R ");
  EXPECT_EQ(MeterModeCaptions(Family::kA)[2], "L/R  In and Out");
  EXPECT_EQ(DigitalModeName(0), "Coaxial");
  EXPECT_EQ(DigitalModeName(1), "Optical");
  EXPECT_EQ(DigitalModeName(2), "");
}

struct RefusalCase {
  const char* name;
  std::function<EditResult(FamilyOperations&, FamilyBOperations&)> edit;
};

TEST_F(FamilyBTest, OutOfRangeEditsAreRefusedWithoutTouchingTheRecord) {
  const std::vector<RefusalCase> cases = {
      {"gain channel 7", [](auto& o, auto&) { return o.SendGain(kSlot, 7, 100); }},
      {"gain channel -1", [](auto& o, auto&) { return o.SendGain(kSlot, -1, 100); }},
      {"gain byte 145", [](auto& o, auto&) { return o.SendGain(kSlot, 6, 145); }},
      {"gain slot 33", [](auto& o, auto&) { return o.SendGain(33, 0, 100); }},
      {"output delay 541 ms", [](auto& o, auto&) { return o.SendDelay(kSlot, 4, 541, 0); }},
      {"input delay 851 ms", [](auto& o, auto&) { return o.SendDelay(kSlot, 0, 851, 0); }},
      {"delay 49 samples", [](auto& o, auto&) { return o.SendDelay(kSlot, 0, 0, 49); }},
      {"crossover on an input",
       [](auto& o, auto&) { return o.SendCrossover(kSlot, 3, 0, 100, 1); }},
      {"crossover filter 2", [](auto& o, auto&) { return o.SendCrossover(kSlot, 4, 2, 100, 1); }},
      {"crossover 19 Hz", [](auto& o, auto&) { return o.SendCrossover(kSlot, 4, 0, 19, 1); }},
      {"crossover slope 9", [](auto& o, auto&) { return o.SendCrossover(kSlot, 4, 0, 100, 9); }},
      {"output band 5",
       [](auto& o, auto&) {
         return o.SendEqBand(kSlot, 4, 5, {0, 1000, 9, 30}, false);
       }},
      {"input band 12",
       [](auto& o, auto&) {
         return o.SendEqBand(kSlot, 0, 12, {0, 1000, 9, 30}, false);
       }},
      {"band type 6",
       [](auto& o, auto&) {
         return o.SendEqBand(kSlot, 0, 0, {6, 1000, 9, 30}, false);
       }},
      {"band gain 61",
       [](auto& o, auto&) {
         return o.SendEqBand(kSlot, 0, 0, {0, 1000, 9, 61}, false);
       }},
      {"band at 20001 Hz",
       [](auto& o, auto&) {
         return o.SendEqBand(kSlot, 0, 0, {0, 20001, 9, 30}, false);
       }},
      {"compressor on an output",
       [](auto& o, auto&) { return o.SendCompressor(kSlot, 4, {}, false); }},
      {"compressor ratio 31",
       [](auto& o, auto&) {
         return o.SendCompressor(kSlot, 0, {0, 31, 0, 0, 0, 0}, false);
       }},
      {"limiter on an input", [](auto& o, auto&) { return o.SendLimiter(kSlot, 3, {}, false); }},
      {"limiter attack 41",
       [](auto& o, auto&) {
         return o.SendLimiter(kSlot, 4, {0, 0, 41}, false);
       }},
      {"gate on an output", [](auto& o, auto&) { return o.SendGate(kSlot, 4, {}); }},
      {"gate threshold 7",
       [](auto& o, auto&) {
         return o.SendGate(kSlot, 0, {1, 7, 0, 0});
       }},
      {"speaker drive output 3", [](auto& o, auto&) { return o.SendSpeakerDrive(kSlot, 3, 0); }},
      {"speaker drive 2", [](auto& o, auto&) { return o.SendSpeakerDrive(kSlot, 0, 2); }},
      {"mixer of an input",
       [](auto& o, auto&) { return o.SendOutputMixer(kSlot, 3, 0, true, 30); }},
      {"mixer of channel 7",
       [](auto& o, auto&) { return o.SendOutputMixer(kSlot, 7, 0, true, 30); }},
      {"mixer input 4", [](auto& o, auto&) { return o.SendOutputMixer(kSlot, 4, 4, true, 30); }},
      {"mixer level 31", [](auto& o, auto&) { return o.SendOutputMixer(kSlot, 4, 0, true, 31); }},
      {"mixer level -1", [](auto& o, auto&) { return o.SendOutputMixer(kSlot, 4, 0, false, -1); }},
      {"mixer switch of an input",
       [](auto&, auto& b) { return b.SetOutputMixerEnabled(kSlot, 2, 0, true); }},
      {"routing input 4", [](auto& o, auto&) { return o.SendInputRouting(kSlot, 4, 0, true, 0); }},
      {"routing source 4", [](auto& o, auto&) { return o.SendInputRouting(kSlot, 0, 4, true, 0); }},
      {"routing level 31",
       [](auto& o, auto&) { return o.SendInputRouting(kSlot, 0, 0, true, 31); }},
      {"routing toggle source -1",
       [](auto&, auto& b) { return b.ToggleInputRouting(kSlot, 0, -1); }},
      {"digital mode 2", [](auto& o, auto&) { return o.SendDigitalMode(kSlot, 2); }},
      {"noise type 2", [](auto& o, auto&) { return o.SendNoiseGenerator(kSlot, 2, 0); }},
      {"noise level 41", [](auto& o, auto&) { return o.SendNoiseGenerator(kSlot, 0, 41); }},
      {"meter mode 3", [](auto& o, auto&) { return o.SendMeterMode(kSlot, 3); }},
      {"link of channel 7", [](auto& o, auto&) { return o.SendLink(kSlot, 7, true); }},
      {"polarity of channel 7", [](auto& o, auto&) { return o.SendPolarity(kSlot, 7, true); }},
      {"mute of channel 7", [](auto& o, auto&) { return o.SendMute(kSlot, 7, true); }},
      {"EQ switch of channel 7", [](auto& o, auto&) { return o.SendEqSwitch(kSlot, 7, true); }},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto before = fx_.data().Record();
    const std::vector<uint8_t> record(before.begin(), before.end());
    const SlotState state = fx_.state();
    EXPECT_EQ(c.edit(ops(), b()), EditResult::kRefused);
    const auto after = fx_.data().Record();
    EXPECT_TRUE(std::equal(after.begin(), after.end(), record.begin()));
    EXPECT_EQ(fx_.state().mute, state.mute);
    EXPECT_EQ(fx_.state().link_member, state.link_member);
    EXPECT_EQ(fx_.state().noise_type, state.noise_type);
    EXPECT_TRUE(fx_.sent.isEmpty());
  }
  EXPECT_EQ(fx_.device().ReceivedCount(), 0);
}

TEST_F(FamilyBTest, FamilyAOnlyOperationsDoNotExistForThe540S) {
  EXPECT_EQ(ops().SendOutputSource(kSlot, 4, 1), EditResult::kNotSupported);
  EXPECT_EQ(ops().SendInputMode(kSlot, InputModeField::kSource, 1), EditResult::kNotSupported);
  EXPECT_TRUE(fx_.sent.isEmpty());
}

TEST(FamilyBOnFamilyADevice, NeverReachesTheFamilyBOperations) {
  for (int type : {comm::kTypeRk540, comm::kTypeRk360, comm::kTypeRl4800}) {
    SCOPED_TRACE(type);
    ProtocolDeviceFixture fx(type);
    FamilyOperations& ops = fx.dispatcher_.For(kSlot);
    EXPECT_EQ(&ops, &fx.family_a_);
    EXPECT_EQ(ops.SendOutputMixer(kSlot, 4, 0, true, 30), EditResult::kNotSupported);
    EXPECT_EQ(ops.SendInputRouting(kSlot, 0, 0, true, 30), EditResult::kNotSupported);
    EXPECT_EQ(ops.SendDigitalMode(kSlot, 1), EditResult::kNotSupported);
    // Called directly, the family B module refuses a family A slot.
    EXPECT_EQ(fx.family_b_.SendGain(kSlot, 0, 100), EditResult::kRefused);
    EXPECT_EQ(fx.family_b_.SendNoiseEnable(kSlot, true), EditResult::kRefused);
    EXPECT_TRUE(fx.sent.isEmpty());
  }
}

}  // namespace
}  // namespace tessaly::protocol
