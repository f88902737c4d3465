#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FamilyBSimFixture.h"
#include "device/DeviceTypes.h"

// The family operations against an emulated device over real TCP: the exact packets, the bytes
// they leave in the PC's record, and the device's memory agreeing with the record afterwards.
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
using Edit = std::function<EditResult(F&)>;

constexpr int kS = ProtocolDeviceFixture::kSlot;
constexpr int kA = device::kTypeRk540;
constexpr int kB = device::kType540S;

// Parameter packets framed as "8D 1F 00 <command and eight parameters> F7".
std::vector<std::string> Framed(const std::vector<std::string>& bodies) {
  std::vector<std::string> packets;
  for (const std::string& body : bodies) packets.push_back("8D 1F 00 " + body + " F7");
  return packets;
}

// The family B module behind the dispatcher of a family B slot.
B& AsB(F& ops) { return static_cast<B&>(ops); }

// One operation: its device type, "<packet> | <packet> ; <offset>=<byte> t<tail index>=<byte>"
// (the packets it sends, unframed, and bytes it leaves in the record), and the edit itself.
struct GoldenCase {
  int type;
  std::string text;
  Edit edit;
};

TEST(FamilyPackets, EveryOperationSendsItsPacketAndTheDeviceAgrees) {
  const std::vector<GoldenCase> cases = {
      {kA, "01 01 00 00 00 00 00 00 7F ; 84=127", [](F& o) { return o.SendGain(kS, 1, 127); }},
      {kA, "02 02 00 00 00 00 01 2C 18 ; 162=1 163=44 164=24",
       [](F& o) { return o.SendDelay(kS, 2, 300, 24); }},
      {kA, "03 03 00 00 00 00 00 00 01 ; 345=8", [](F& o) { return o.SendPolarity(kS, 3, true); }},
      {kA, "04 02 01 00 00 00 4E 20 07 ; 171=78 172=32 173=7",
       [](F& o) { return o.SendCrossover(kS, 2, 1, 20000, 7); }},
      {kA, "04 04 00 00 00 00 00 78 03", [](F& o) { return o.SendCrossover(kS, 4, 0, 120, 3); }},
      {kA, "05 00 0B 01 05 3E 80 64 3C ; 69=5 70=62 74=8",
       [](F& o) { return o.SendEqBand(kS, 0, 11, Band(5, 16000, 100, 60), true); }},
      {kA, "05 03 04 00 01 1F 40 09 28",
       [](F& o) { return o.SendEqBand(kS, 3, 4, Band(1, 8000, 9, 40), false); }},
      {kA, "06 04 00 00 00 00 00 00 01 ; 347=15", [](F& o) { return o.SendEqSwitch(kS, 4, true); }},
      {kA, "07 01 01 64 04 32 0C 03 06 ; 88=100 93=6 346=29",
       [](F& o) { return o.SendCompressor(kS, 1, Comp(100, 4, 50, 12, 3, 6), true); }},
      {kA, "07 03 00 00 00 00 4B 31 28",
       [](F& o) { return o.SendLimiter(kS, 3, Lim(75, 49, 40), false); }},
      {kA, "08 04 00 00 00 00 00 00 01 ; 256=1", [](F& o) { return o.SendOutputSource(kS, 4, 1); }},
      {kA, "09 03 00 00 00 00 00 00 01 ; 344=8", [](F& o) { return o.SendMute(kS, 3, true); }},
      {kA, "19 00 00 00 00 00 00 00 11 ; 343=17",
       [](F& o) { return o.SendSpeakerDrive(kS, 1, 0); }},
      {kA, "1A 01 00 00 00 00 04 07 0A ; 80=0 81=4",
       [](F& o) { return o.SendGate(kS, 1, Gate(0, 4, 7, 10)); }},
      {kA, "1C 00 00 00 00 00 00 00 02 ; 348=2",
       [](F& o) { return o.SendInputMode(kS, InputModeField::kSource, 2); }},
      {kA, "1C 00 00 00 00 00 01 00 00 ; 341=1",
       [](F& o) { return o.SendInputMode(kS, InputModeField::kAnalogMode, 1); }},
      {kA, "1D 00 00 00 00 00 00 01 19", [](F& o) { return o.SendNoiseGenerator(kS, 1, 25); }},
      {kA, "2C 01 00 00 00 00 00 00 00", [](F& o) { return o.SendStandby(kS, true); }},
      {kA, "2E 00 00 00 00 00 00 01 00 | 11 00 15 00 00 00 00 00 00 ; 349=1",
       [](F& o) { return o.SendLineOut(kS, true); }},
      {kA, "32 00 00 00 00 00 00 00 01", [](F& o) { return o.SendSleepMode(kS, true); }},
      {kA, "35 00 00 00 00 00 00 00 01", [](F& o) { return o.SendMeterMode(kS, 1); }},
      {kA, "36 00 00 00 00 00 00 00 01 ; 350=1", [](F& o) { return o.SendLink(kS, 0, true); }},
      {kA, "36 00 00 00 00 00 00 00 10 ; 350=16", [](F& o) { return o.SendLink(kS, 4, true); }},
      // The smaller models' delay limits.
      {device::kTypeRk360, "02 01 00 00 00 00 00 50 30",
       [](F& o) { return o.SendDelay(kS, 1, 80, 48); }},
      {device::kTypeRk360, "02 02 00 00 00 00 00 32 30",
       [](F& o) { return o.SendDelay(kS, 2, 50, 48); }},
      {kB, "01 06 00 00 00 00 00 00 6C ; 420=108", [](F& o) { return o.SendGain(kS, 6, 108); }},
      {kB, "02 04 00 00 00 00 01 2C 0A ; 325=1 326=44 327=10",
       [](F& o) { return o.SendDelay(kS, 4, 300, 10); }},
      {kB, "03 05 00 00 00 00 00 00 01 ; 505=32", [](F& o) { return o.SendPolarity(kS, 5, true); }},
      {kB, "09 06 00 00 00 00 00 00 01 ; 504=64", [](F& o) { return o.SendMute(kS, 6, true); }},
      {kB, "04 05 01 00 00 00 4E 20 07 ; 382=78 383=32 384=7",
       [](F& o) { return o.SendCrossover(kS, 5, 1, 20000, 7); }},
      {kB, "04 04 00 00 00 00 00 50 03 ; 331=0 332=80 333=3",
       [](F& o) { return o.SendCrossover(kS, 4, 0, 80, 3); }},
      {kB, "05 03 0B 01 05 3E 80 32 28 ; 309=5 310=62 311=128 312=50 313=40 314=8 315=0",
       [](F& o) { return o.SendEqBand(kS, 3, 11, Band(5, 16000, 50, 40), true); }},
      {kB, "05 06 04 00 01 1F 40 64 00 ; 453=1 454=31 455=64 456=100 457=0 458=0 459=0",
       [](F& o) { return o.SendEqBand(kS, 6, 4, Band(1, 8000, 100, 0), false); }},
      {kB, "06 06 00 00 00 00 00 00 01 ; 507=63", [](F& o) { return o.SendEqSwitch(kS, 6, true); }},
      {kB, "07 03 01 64 05 32 14 0A 0C ; 248=100 249=5 250=50 251=20 252=10 253=12 506=119",
       [](F& o) { return o.SendCompressor(kS, 3, Comp(100, 5, 50, 20, 10, 12), true); }},
      {kB, "07 04 00 00 00 00 64 1E 14 ; 328=100 329=30 330=20 506=127",
       [](F& o) { return o.SendLimiter(kS, 4, Lim(100, 30, 20), false); }},
      {kB, "1A 02 00 00 00 00 03 04 05 ; 160=0 161=3 162=4 163=5",
       [](F& o) { return o.SendGate(kS, 2, Gate(0, 3, 4, 5)); }},
      {kB, "19 00 00 00 00 00 00 00 05 ; 503=5", [](F& o) { return o.SendSpeakerDrive(kS, 2, 0); }},
      {kB, "08 06 00 00 00 98 98 98 1E ; 416=152 417=152 418=152 419=30",
       [](F& o) { return o.SendOutputMixer(kS, 6, 2, true, 24); }},
      {kB, "1C 01 00 00 00 1E 9E 1E 94 ; t612=30 t613=158 t614=30 t615=148",
       [](F& o) { return o.SendInputRouting(kS, 1, 3, true, 20); }},
      {kB, "24 00 00 00 00 00 00 00 01 ; t38=1", [](F& o) { return o.SendDigitalMode(kS, 1); }},
      {kB, "1D 00 00 00 00 00 00 01 19 ; t32=1 t33=25 t34=0",
       [](F& o) { return o.SendNoiseGenerator(kS, 1, 25); }},
      {kB, "1D 00 00 00 00 00 01 00 00 ; t34=1",
       [](F& o) { return AsB(o).SendNoiseEnable(kS, true); }},
      {kB, "2C 01 00 00 00 00 00 00 00 ; t16=1", [](F& o) { return o.SendStandby(kS, true); }},
      {kB, "32 00 00 00 00 00 00 00 01 ; t17=1", [](F& o) { return o.SendSleepMode(kS, true); }},
      {kB, "35 00 00 00 00 00 00 00 01 ; t45=1", [](F& o) { return o.SendMeterMode(kS, 1); }},
      {kB, "36 00 00 00 00 00 00 00 04 ; 510=4", [](F& o) { return o.SendLink(kS, 2, true); }},
      {kB, "2E 00 00 00 00 00 00 01 00 | 11 00 15 00 00 00 00 00 00 ; 509=1",
       [](F& o) { return o.SendLineOut(kS, true); }},
      {kB, "2E 00 00 00 00 00 00 00 04 | 11 00 15 00 00 04 00 00 00 ; 509=0 t21=4",
       [](F& o) { return AsB(o).SendInputTrigger(kS, true); }},
      {kB, "2E 00 00 00 00 00 01 00 00 | 11 00 15 00 00 00 00 00 00 ; t47=1",
       [](F& o) { return AsB(o).SendStandbyMirroring(kS, true); }},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.text);
    const QStringList parts = QString::fromStdString(c.text).split(" ; ");
    std::vector<std::string> packets;
    for (const QString& packet : parts[0].split(" | ")) packets.push_back(packet.toStdString());
    ProtocolDeviceFixture fx(c.type);
    EXPECT_EQ(c.edit(fx.ops()), EditResult::kDone);
    EXPECT_EQ(fx.SentHex(), Framed(packets));
    for (const QString& byte : parts.value(1).split(' ', Qt::SkipEmptyParts)) {
      const QStringList at = byte.split('=');
      const int n = QString(at[0]).remove('t').toInt();
      const auto got = at[0].startsWith('t') ? fx.data().Tail(n) : fx.data().Get(n);
      EXPECT_EQ(got, at[1].toInt()) << byte.toStdString();
    }
    EXPECT_EQ(fx.DeviceDifference(), "");
    EXPECT_TRUE(fx.messenger_.shown.isEmpty());
  }
}

// Edits outside the channel's class or below the ranges (the random edit runs try values past
// the tops) change nothing anywhere: record, slot state, views, device.
TEST(FamilyPackets, OutOfRangeEditsAreRefusedWithoutTouchingAnything) {
  const std::vector<std::pair<int, Edit>> cases = {
      {kA, [](F& o) { return o.SendDelay(kS, 0, -1, 0); }},
      {kA, [](F& o) { return o.SendCrossover(kS, 1, 0, 100, 1); }},
      {kA, [](F& o) { return o.SendCrossover(kS, 2, 0, 20001, 1); }},
      {kA, [](F& o) { return o.SendEqBand(kS, 0, 0, Band(0, 19, 9, 30), true); }},
      {kB, [](F& o) { return o.SendEqBand(kS, 0, 0, Band(0, 20001, 9, 30), false); }},
      {kA, [](F& o) { return o.SendCompressor(kS, 2, Comp(0, 0, 0, 0, 0, 0), true); }},
      {kA, [](F& o) { return o.SendLimiter(kS, 1, Lim(0, 0, 0), true); }},
      {kA, [](F& o) { return o.SendGate(kS, 2, Gate(0, 0, 0, 0)); }},
      {kA, [](F& o) { return o.SetDelayUnit(kS, 2); }},
      {kA, [](F& o) { return o.SendOutputSource(kS, 1, 0); }},
      // The digital mode only counts while the digital input is chosen.
      {kA, [](F& o) { return o.SendInputMode(kS, InputModeField::kDigitalMode, 1); }},
      {kB, [](F& o) { return o.SendGain(kS, -1, 100); }},
      {kB, [](F& o) { return o.SendGain(33, 0, 100); }},
      {kB, [](F& o) { return o.SendCompressor(kS, 4, Comp(0, 0, 0, 0, 0, 0), false); }},
      {kB, [](F& o) { return o.SendLimiter(kS, 3, Lim(0, 0, 0), false); }},
      {kB, [](F& o) { return o.SendGate(kS, 4, Gate(1, 0, 0, 0)); }},
      {kB, [](F& o) { return o.SendOutputMixer(kS, 3, 0, true, 30); }},
      {kB, [](F& o) { return o.SendOutputMixer(kS, 4, 0, false, -1); }},
      {kB, [](F& o) { return AsB(o).SetOutputMixerEnabled(kS, 2, 0, true); }},
      {kB, [](F& o) { return AsB(o).ToggleInputRouting(kS, 0, -1); }},
  };
  // Family A's own operations do not exist for the 540S, nor the family B ones for the rest.
  const std::vector<std::pair<int, Edit>> unsupported = {
      {kB, [](F& o) { return o.SendOutputSource(kS, 4, 1); }},
      {kB, [](F& o) { return o.SendInputMode(kS, InputModeField::kSource, 1); }},
      {kA, [](F& o) { return o.SendOutputMixer(kS, 4, 0, true, 30); }},
      {kA, [](F& o) { return o.SendInputRouting(kS, 0, 0, true, 30); }},
      {kA, [](F& o) { return o.SendDigitalMode(kS, 1); }},
      {device::kTypeRl4800, [](F& o) { return o.SendLineOut(kS, false); }},
      {device::kTypeRk360, [](F& o) { return o.SendLineOut(kS, true); }},
  };
  const auto check = [](int type, const Edit& edit, EditResult expected) {
    ProtocolDeviceFixture fx(type);
    const auto record = fx.Record();
    const SlotState state = fx.state();
    int notified = 0;
    QObject::connect(&fx.store_, &ProgramStore::channelChanged, [&] { ++notified; });
    QObject::connect(&fx.store_, &ProgramStore::deviceSettingsChanged, [&] { ++notified; });
    EXPECT_EQ(edit(fx.ops()), expected);
    EXPECT_EQ(fx.Record(), record);
    EXPECT_EQ(fx.state().mute, state.mute);
    EXPECT_EQ(fx.state().band_bypass, state.band_bypass);
    EXPECT_EQ(fx.state().dynamics_bypass, state.dynamics_bypass);
    EXPECT_EQ(fx.state().link_member, state.link_member);
    EXPECT_EQ(fx.state().noise_type, state.noise_type);
    EXPECT_EQ(notified, 0);
    EXPECT_EQ(fx.device().ReceivedCount(), 0);
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    check(cases[i].first, cases[i].second, EditResult::kRefused);
  }
  for (size_t i = 0; i < unsupported.size(); ++i) {
    SCOPED_TRACE("unsupported case " + std::to_string(i));
    check(unsupported[i].first, unsupported[i].second, EditResult::kNotSupported);
  }
  // Called directly, a family's module refuses the other family's slot.
  ProtocolDeviceFixture a(kA);
  ProtocolDeviceFixture b(kB);
  EXPECT_EQ(a.family_b_.SendGain(kS, 0, 100), EditResult::kRefused);
  EXPECT_EQ(a.family_b_.SendNoiseEnable(kS, true), EditResult::kRefused);
  EXPECT_EQ(b.family_a_.SendMute(kS, 0, true), EditResult::kRefused);
  EXPECT_TRUE(a.sent.isEmpty() && b.sent.isEmpty());
}

// The mask bytes are rebuilt from every channel's flag while each command carries one switch;
// views hear which channel changed.
TEST(FamilyPackets, MasksAndViews) {
  ProtocolDeviceFixture fx(kA);
  std::vector<int> channels;
  int settings = 0;
  QObject::connect(&fx.store_, &ProgramStore::channelChanged,
                   [&](int, int ch) { channels.push_back(ch); });
  QObject::connect(&fx.store_, &ProgramStore::deviceSettingsChanged, [&](int) { ++settings; });
  F& ops = fx.ops();
  ops.SendMute(kS, 0, true);
  ops.SendMute(kS, 3, true);
  ops.SendCompressor(kS, 1, Comp(150, 20, 0, 10, 0, 0), true);
  ops.SendCompressor(kS, 1, Comp(150, 20, 0, 10, 0, 0), false);
  EXPECT_EQ(fx.SentHex(), Framed({"09 00 00 00 00 00 00 00 01", "09 03 00 00 00 00 00 00 01",
                                  "07 01 01 96 14 00 0A 00 00", "07 01 00 96 14 00 0A 00 00"}));
  EXPECT_EQ(fx.data().Get(344), 9);
  EXPECT_EQ(fx.data().Get(346), 31);
  ops.SendMeterMode(kS, 1);
  EXPECT_EQ(channels, (std::vector<int>{0, 3, 1, 1}));
  EXPECT_EQ(settings, 1);
  // The digital mode counts once the digital input is chosen.
  EXPECT_EQ(ops.SendInputMode(kS, InputModeField::kSource, 1), EditResult::kDone);
  EXPECT_EQ(ops.SendInputMode(kS, InputModeField::kDigitalMode, 1), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(342), 1);
  EXPECT_EQ(fx.DeviceDifference(), "");
  // The slot state the editor and graph read follows the edits.
  ASSERT_EQ(ops.SendCrossover(kS, 3, kFilterLowPass, 20000, 7), EditResult::kDone);
  EXPECT_EQ(fx.state().crossover[3].frequency, 20000);
  EXPECT_EQ(fx.state().crossover[3].slope, 7);
  ASSERT_EQ(ops.SendEqBand(kS, 1, 11, Band(5, 20000, 100, 60), true), EditResult::kDone);
  EXPECT_EQ(fx.state().band_type[23], 5);
  EXPECT_TRUE(fx.state().band_bypass[23]);
  ASSERT_EQ(fx.family_a_.SetDelayUnit(kS, kDelayUnitTime), EditResult::kDone);
  EXPECT_EQ(fx.state().delay_unit, kDelayUnitTime);
  EXPECT_EQ(fx.data().Tail(kTailDelayUnit), 0);
  // A stray bit in the image: the mute mask is rebuilt whole, a bypass switch moves one bit.
  fx.data().Set(344, 0xFF);
  fx.data().Set(346, 0);
  ops.SendMute(kS, 0, false);
  ops.SendLimiter(kS, 2, Lim(75, 49, 40), false);
  EXPECT_EQ(fx.data().Get(344), 8);
  EXPECT_EQ(fx.data().Get(346), 4);
}

// A send's or cross-point's level survives switching it off and on; a level set while it is off
// is stored and comes back with it.
TEST(FamilyPackets, SwitchingASendOrCrossPointKeepsItsLevel) {
  ProtocolDeviceFixture fx(kB);
  ASSERT_EQ(fx.family_b_.SetOutputMixerEnabled(kS, 4, 0, false), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(320), 30);
  ASSERT_EQ(fx.family_b_.SetOutputMixerEnabled(kS, 4, 0, true), EditResult::kDone);
  EXPECT_EQ(fx.data().Get(320), 158);
  EXPECT_EQ(fx.SentHex(), Framed({"08 04 00 00 00 1E 1E 1E 1E", "08 04 00 00 00 9E 1E 1E 1E"}));
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

// Nothing leaves the PC while a transfer holds the line or the session is suspended, yet the
// image takes every edit, so a later whole-image write carries it.
TEST(FamilyPackets, NothingIsSentWhileTrafficIsHeld) {
  for (const bool transfer : {true, false}) {
    ProtocolDeviceFixture fx(kA);
    std::optional<comm::TransferLock> lock;
    if (transfer) {
      lock.emplace(fx.comm_);
    } else {
      fx.comm_.SuspendTraffic(true);
    }
    F& ops = fx.ops();
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

TEST(FamilyPackets, DeviceWithoutAReplyReportsTheLoss) {
  ProtocolDeviceFixture fx(kA);
  fx.device().SetSilent(true);
  EXPECT_EQ(fx.ops().SendGain(kS, 0, 10), EditResult::kSendFailed);
  EXPECT_EQ(fx.data().Get(4), 10);
  EXPECT_FALSE(fx.comm_.table()[kS].online);
}

}  // namespace
}  // namespace tessaly::protocol
