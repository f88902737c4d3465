#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FamilyBSimFixture.h"
#include "comm/DeviceTypes.h"

// Family A operations against an emulated device over real TCP: the exact packets, and the
// device's image and settings ending up equal to the PC's record.
namespace tessaly::protocol {
namespace {

using test::Band;
using test::Comp;
using test::Gate;
using test::Lim;
using test::ProtocolDeviceFixture;
using A = FamilyAOperations;
constexpr int kS = ProtocolDeviceFixture::kSlot;

struct GoldenCase {
  std::vector<std::string> packets;
  std::function<EditResult(A&)> edit;
};

TEST(FamilyAPackets, EveryOperationSendsItsPacketAndTheDeviceFollows) {
  const std::vector<GoldenCase> cases = {
      {{"8D 1F 00 01 01 00 00 00 00 00 00 7F F7"}, [](A& o) { return o.SendGain(kS, 1, 127); }},
      {{"8D 1F 00 02 02 00 00 00 00 01 2C 18 F7"},
       [](A& o) { return o.SendDelay(kS, 2, 300, 24); }},
      {{"8D 1F 00 03 03 00 00 00 00 00 00 01 F7"},
       [](A& o) { return o.SendPolarity(kS, 3, true); }},
      {{"8D 1F 00 04 02 01 00 00 00 4E 20 07 F7"},
       [](A& o) { return o.SendCrossover(kS, 2, 1, 20000, 7); }},
      {{"8D 1F 00 04 04 00 00 00 00 00 78 03 F7"},
       [](A& o) { return o.SendCrossover(kS, 4, 0, 120, 3); }},
      {{"8D 1F 00 05 00 0B 01 05 3E 80 64 3C F7"},
       [](A& o) { return o.SendEqBand(kS, 0, 11, Band(5, 16000, 100, 60), true); }},
      {{"8D 1F 00 05 03 04 00 01 1F 40 09 28 F7"},
       [](A& o) { return o.SendEqBand(kS, 3, 4, Band(1, 8000, 9, 40), false); }},
      {{"8D 1F 00 06 04 00 00 00 00 00 00 01 F7"},
       [](A& o) { return o.SendEqSwitch(kS, 4, true); }},
      {{"8D 1F 00 07 01 01 64 04 32 0C 03 06 F7"},
       [](A& o) { return o.SendCompressor(kS, 1, Comp(100, 4, 50, 12, 3, 6), true); }},
      {{"8D 1F 00 07 03 00 00 00 00 4B 31 28 F7"},
       [](A& o) { return o.SendLimiter(kS, 3, Lim(75, 49, 40), false); }},
      {{"8D 1F 00 08 04 00 00 00 00 00 00 01 F7"},
       [](A& o) { return o.SendOutputSource(kS, 4, 1); }},
      {{"8D 1F 00 09 03 00 00 00 00 00 00 01 F7"}, [](A& o) { return o.SendMute(kS, 3, true); }},
      {{"8D 1F 00 19 00 00 00 00 00 00 00 11 F7"},
       [](A& o) { return o.SendSpeakerDrive(kS, 1, 0); }},
      {{"8D 1F 00 1A 01 00 00 00 00 04 07 0A F7"},
       [](A& o) { return o.SendGate(kS, 1, Gate(0, 4, 7, 10)); }},
      {{"8D 1F 00 1C 00 00 00 00 00 00 00 02 F7"},
       [](A& o) { return o.SendInputMode(kS, InputModeField::kSource, 2); }},
      {{"8D 1F 00 1C 00 00 00 00 00 01 00 00 F7"},
       [](A& o) { return o.SendInputMode(kS, InputModeField::kAnalogMode, 1); }},
      {{"8D 1F 00 1D 00 00 00 00 00 00 01 19 F7"},
       [](A& o) { return o.SendNoiseGenerator(kS, 1, 25); }},
      {{"8D 1F 00 2C 01 00 00 00 00 00 00 00 F7"}, [](A& o) { return o.SendStandby(kS, true); }},
      {{"8D 1F 00 2E 00 00 00 00 00 00 01 00 F7", "8D 1F 00 11 00 15 00 00 00 00 00 00 F7"},
       [](A& o) { return o.SendLineOut(kS, true); }},
      {{"8D 1F 00 32 00 00 00 00 00 00 00 01 F7"}, [](A& o) { return o.SendSleepMode(kS, true); }},
      {{"8D 1F 00 35 00 00 00 00 00 00 00 01 F7"}, [](A& o) { return o.SendMeterMode(kS, 1); }},
      {{"8D 1F 00 36 00 00 00 00 00 00 00 01 F7"}, [](A& o) { return o.SendLink(kS, 0, true); }},
      {{"8D 1F 00 36 00 00 00 00 00 00 00 10 F7"}, [](A& o) { return o.SendLink(kS, 4, true); }},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.packets.front());
    ProtocolDeviceFixture fx(comm::kTypeRk540);
    EXPECT_EQ(c.edit(fx.family_a_), EditResult::kDone);
    EXPECT_EQ(fx.SentHex(), c.packets);
    EXPECT_EQ(fx.DeviceDifference(), "");
    EXPECT_TRUE(fx.messenger_.shown.isEmpty());
  }
}

TEST(FamilyAPackets, MaskCommandsCarryTheSwitchWhileTheImageKeepsTheMask) {
  ProtocolDeviceFixture fx(comm::kTypeRk540);
  A& ops = fx.family_a_;
  ops.SendMute(kS, 0, true);
  ops.SendMute(kS, 3, true);
  ops.SendCompressor(kS, 1, Comp(150, 20, 0, 10, 0, 0), true);
  ops.SendCompressor(kS, 1, Comp(150, 20, 0, 10, 0, 0), false);
  EXPECT_EQ(fx.SentHex(), (std::vector<std::string>{
                              "8D 1F 00 09 00 00 00 00 00 00 00 01 F7",
                              "8D 1F 00 09 03 00 00 00 00 00 00 01 F7",
                              "8D 1F 00 07 01 01 96 14 00 0A 00 00 F7",
                              "8D 1F 00 07 01 00 96 14 00 0A 00 00 F7",
                          }));
  EXPECT_EQ(fx.data().Get(344), 9);
  EXPECT_EQ(fx.data().Get(346), 31);
  EXPECT_EQ(fx.DeviceDifference(), "");
}

// Nothing leaves the PC while a transfer holds the line or the session is suspended, yet the
// image takes every edit, so a later whole-image write carries it.
TEST(FamilyAPackets, NothingIsSentWhileTrafficIsHeld) {
  for (const bool transfer : {true, false}) {
    ProtocolDeviceFixture fx(comm::kTypeRk540);
    (transfer ? fx.comm_.state().transfer_lock : fx.comm_.state().comm_suspended) = true;
    A& ops = fx.family_a_;
    EXPECT_EQ(ops.SendGain(kS, 0, 10), EditResult::kDone);
    EXPECT_EQ(ops.SendMute(kS, 2, true), EditResult::kDone);
    EXPECT_EQ(ops.SendLineOut(kS, true), EditResult::kDone);
    EXPECT_EQ(ops.SendEqBand(kS, 1, 3, Band(2, 500, 50, 10), true), EditResult::kDone);
    EXPECT_TRUE(fx.sent.empty());
    EXPECT_EQ(fx.device().ReceivedCount(), 0);
    EXPECT_EQ(fx.data().Get(4), 10);
    EXPECT_EQ(fx.data().Get(344), 4);
    EXPECT_NE(fx.DeviceDifference(), "");
  }
}

TEST(FamilyAPackets, SmallerModelsHaveNoLineOutAndShorterDelays) {
  ProtocolDeviceFixture fx(comm::kTypeRk360);
  A& ops = fx.family_a_;
  const auto before = std::vector<uint8_t>(fx.data().Record().begin(), fx.data().Record().end());
  EXPECT_EQ(ops.SendLineOut(kS, true), EditResult::kNotSupported);
  EXPECT_EQ(ops.SendDelay(kS, 1, 81, 0), EditResult::kRefused);
  EXPECT_EQ(ops.SendDelay(kS, 2, 51, 0), EditResult::kRefused);
  EXPECT_EQ(std::vector<uint8_t>(fx.data().Record().begin(), fx.data().Record().end()), before);
  EXPECT_EQ(ops.SendDelay(kS, 1, 80, 48), EditResult::kDone);
  EXPECT_EQ(ops.SendDelay(kS, 2, 50, 48), EditResult::kDone);
  EXPECT_EQ(fx.SentHex(), (std::vector<std::string>{"8D 1F 00 02 01 00 00 00 00 00 50 30 F7",
                                                    "8D 1F 00 02 02 00 00 00 00 00 32 30 F7"}));
  EXPECT_EQ(fx.DeviceDifference(), "");
}

TEST(FamilyAPackets, DeviceWithoutAReplyReportsTheLoss) {
  ProtocolDeviceFixture fx(comm::kTypeRk540);
  fx.device().SetSilent(true);
  EXPECT_EQ(fx.family_a_.SendGain(kS, 0, 10), EditResult::kSendFailed);
  EXPECT_EQ(fx.data().Get(4), 10);
  EXPECT_FALSE(fx.comm_.table()[kS].online);
}

}  // namespace
}  // namespace tessaly::protocol
