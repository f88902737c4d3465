#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "comm/Comm.h"
#include "comm/DeviceTypes.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

// Family A operations against an emulated device over real TCP: the exact packets, and the
// device's image and settings ending up equal to the PC's record.
namespace tessaly::protocol {
namespace {

// Settings addresses the family A commands write; the PC keeps them at the same tail indexes.
const std::vector<int> kSettingsWritten{kTailStandby,   kTailSleepMode,  kTailTrigger,
                                        kTailNoiseType, kTailNoiseLevel, kTailMeterMode,
                                        kTailMirroring};

class FamilyADevice {
 public:
  static constexpr int kSlot = 6;

  explicit FamilyADevice(int type) : comm_(messenger_), store_(comm_), ops_(store_) {
    index_ = sim_.AddTcp(type);
    comm::CommState& state = comm_.state();
    state.connection_mode = comm::kLinkTcp;
    state.comm_ready = true;
    state.report_link_loss = true;
    state.current_device = kSlot;
    state.table.device_type[kSlot] = static_cast<int16_t>(type);
    state.table[kSlot].online = true;
    state.table[kSlot].registered = true;
    state.table[kSlot].link_kind = comm::kLinkTcp;
    comm_.tcp().Initialise(comm::kSlotCount);
    EXPECT_EQ(comm_.tcp().Connect(kSlot, sim_.address(index_), sim_.port(), 3000), 0);
    comm_.set_trace([this](bool outgoing, const QByteArray& bytes) {
      if (outgoing) sent_.push_back(bytes.toHex(' ').toUpper().toStdString());
    });
    // As the read-out of an opened editor does: the settings start out as the device's.
    const QByteArray settings = device().Settings();
    for (int n : kSettingsWritten) data().SetTail(n, static_cast<uint8_t>(settings[n]));
  }

  sim::SimDevice& device() { return sim_.device(index_); }
  ProgramData& data() { return *store_.Data(kSlot); }

  // First difference between the device's memories and the PC's record, empty when none.
  std::string Difference() {
    const QByteArray image = device().Image();
    const auto pc = data().Image();
    if (image.size() != static_cast<qsizetype>(pc.size())) return "image sizes differ";
    for (size_t i = 0; i < pc.size(); ++i) {
      const auto dev = static_cast<uint8_t>(image[static_cast<qsizetype>(i)]);
      if (dev != pc[i]) {
        return "image " + std::to_string(i) + ": device " + std::to_string(dev) + ", PC " +
               std::to_string(pc[i]);
      }
    }
    const QByteArray settings = device().Settings();
    for (int n : kSettingsWritten) {
      const auto dev = static_cast<uint8_t>(settings[n]);
      if (dev != data().Tail(n)) {
        return "settings " + std::to_string(n) + ": device " + std::to_string(dev) + ", PC " +
               std::to_string(data().Tail(n).value_or(0));
      }
    }
    return {};
  }

  bool application_ = (test::EnsureCoreApplication(), true);
  test::RecordingMessenger messenger_;
  comm::Comm comm_;
  ProgramStore store_;
  FamilyAOperations ops_;
  std::vector<std::string> sent_;

 private:
  test::SimHarness sim_;
  int index_ = -1;
};

struct GoldenCase {
  const char* name;
  std::function<EditResult(FamilyAOperations&, int slot)> edit;
  std::vector<std::string> packets;
};

class FamilyAGoldenTest : public testing::TestWithParam<GoldenCase> {};

TEST_P(FamilyAGoldenTest, SendsExactlyThesePacketsAndTheDeviceFollows) {
  FamilyADevice dev(comm::kTypeRk540);
  EXPECT_EQ(GetParam().edit(dev.ops_, FamilyADevice::kSlot), EditResult::kDone);
  EXPECT_EQ(dev.sent_, GetParam().packets);
  EXPECT_EQ(dev.Difference(), "");
  EXPECT_TRUE(dev.messenger_.shown.isEmpty());
}

const GoldenCase kGolden[] = {
    {"Gain",
     [](auto& o, int s) { return o.SendGain(s, 1, 127); },
     {"8D 1F 00 01 01 00 00 00 00 00 00 7F F7"}},
    {"Delay",
     [](auto& o, int s) { return o.SendDelay(s, 2, 300, 24); },
     {"8D 1F 00 02 02 00 00 00 00 01 2C 18 F7"}},
    {"Polarity",
     [](auto& o, int s) { return o.SendPolarity(s, 3, true); },
     {"8D 1F 00 03 03 00 00 00 00 00 00 01 F7"}},
    {"CrossoverLowPass",
     [](auto& o, int s) { return o.SendCrossover(s, 2, 1, 20000, 7); },
     {"8D 1F 00 04 02 01 00 00 00 4E 20 07 F7"}},
    {"CrossoverHighPass",
     [](auto& o, int s) { return o.SendCrossover(s, 4, 0, 120, 3); },
     {"8D 1F 00 04 04 00 00 00 00 00 78 03 F7"}},
    {"EqBandBypassed",
     [](auto& o, int s) {
       return o.SendEqBand(s, 0, 11, {5, 16000, 100, 60}, true);
     },
     {"8D 1F 00 05 00 0B 01 05 3E 80 64 3C F7"}},
    {"EqBandOutput",
     [](auto& o, int s) {
       return o.SendEqBand(s, 3, 4, {1, 8000, 9, 40}, false);
     },
     {"8D 1F 00 05 03 04 00 01 1F 40 09 28 F7"}},
    {"EqSwitch",
     [](auto& o, int s) { return o.SendEqSwitch(s, 4, true); },
     {"8D 1F 00 06 04 00 00 00 00 00 00 01 F7"}},
    {"CompressorBypassed",
     [](auto& o, int s) {
       return o.SendCompressor(s, 1, {100, 4, 50, 12, 3, 6}, true);
     },
     {"8D 1F 00 07 01 01 64 04 32 0C 03 06 F7"}},
    {"Limiter",
     [](auto& o, int s) {
       return o.SendLimiter(s, 3, {75, 49, 40}, false);
     },
     {"8D 1F 00 07 03 00 00 00 00 4B 31 28 F7"}},
    {"OutputSource",
     [](auto& o, int s) { return o.SendOutputSource(s, 4, 1); },
     {"8D 1F 00 08 04 00 00 00 00 00 00 01 F7"}},
    {"Mute",
     [](auto& o, int s) { return o.SendMute(s, 3, true); },
     {"8D 1F 00 09 03 00 00 00 00 00 00 01 F7"}},
    {"SpeakerDrive",
     [](auto& o, int s) { return o.SendSpeakerDrive(s, 1, 0); },
     {"8D 1F 00 19 00 00 00 00 00 00 00 11 F7"}},
    {"Gate",
     [](auto& o, int s) {
       return o.SendGate(s, 1, {0, 4, 7, 10});
     },
     {"8D 1F 00 1A 01 00 00 00 00 04 07 0A F7"}},
    {"InputSource",
     [](auto& o, int s) { return o.SendInputMode(s, InputModeField::kSource, 2); },
     {"8D 1F 00 1C 00 00 00 00 00 00 00 02 F7"}},
    {"AnalogMode",
     [](auto& o, int s) { return o.SendInputMode(s, InputModeField::kAnalogMode, 1); },
     {"8D 1F 00 1C 00 00 00 00 00 01 00 00 F7"}},
    {"NoiseGenerator",
     [](auto& o, int s) { return o.SendNoiseGenerator(s, 1, 25); },
     {"8D 1F 00 1D 00 00 00 00 00 00 01 19 F7"}},
    {"Standby",
     [](auto& o, int s) { return o.SendStandby(s, true); },
     {"8D 1F 00 2C 01 00 00 00 00 00 00 00 F7"}},
    {"LineOut",
     [](auto& o, int s) { return o.SendLineOut(s, true); },
     {"8D 1F 00 2E 00 00 00 00 00 00 01 00 F7", "8D 1F 00 11 00 15 00 00 00 00 00 00 F7"}},
    {"SleepMode",
     [](auto& o, int s) { return o.SendSleepMode(s, true); },
     {"8D 1F 00 32 00 00 00 00 00 00 00 01 F7"}},
    {"MeterMode",
     [](auto& o, int s) { return o.SendMeterMode(s, 1); },
     {"8D 1F 00 35 00 00 00 00 00 00 00 01 F7"}},
    {"LinkInputs",
     [](auto& o, int s) { return o.SendLink(s, 0, true); },
     {"8D 1F 00 36 00 00 00 00 00 00 00 01 F7"}},
    {"LinkOutput",
     [](auto& o, int s) { return o.SendLink(s, 4, true); },
     {"8D 1F 00 36 00 00 00 00 00 00 00 10 F7"}},
};

INSTANTIATE_TEST_SUITE_P(Operations, FamilyAGoldenTest, testing::ValuesIn(kGolden),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FamilyAPackets, MaskCommandsCarryTheSwitchWhileTheImageKeepsTheMask) {
  FamilyADevice dev(comm::kTypeRk540);
  auto& ops = dev.ops_;
  const int slot = FamilyADevice::kSlot;
  ops.SendMute(slot, 0, true);
  ops.SendMute(slot, 3, true);
  ops.SendCompressor(slot, 1, {150, 20, 0, 10, 0, 0}, true);
  ops.SendCompressor(slot, 1, {150, 20, 0, 10, 0, 0}, false);
  EXPECT_EQ(dev.sent_, (std::vector<std::string>{
                           "8D 1F 00 09 00 00 00 00 00 00 00 01 F7",
                           "8D 1F 00 09 03 00 00 00 00 00 00 01 F7",
                           "8D 1F 00 07 01 01 96 14 00 0A 00 00 F7",
                           "8D 1F 00 07 01 00 96 14 00 0A 00 00 F7",
                       }));
  EXPECT_EQ(dev.data().Get(344), 9);
  EXPECT_EQ(dev.data().Get(346), 31);
  EXPECT_EQ(dev.Difference(), "");
}

// Nothing leaves the PC while a transfer holds the line or the session is suspended, yet the
// image takes every edit, so a later whole-image write carries it.
TEST(FamilyAPackets, NothingIsSentWhileTrafficIsHeld) {
  for (const bool transfer : {true, false}) {
    FamilyADevice dev(comm::kTypeRk540);
    (transfer ? dev.comm_.state().transfer_lock : dev.comm_.state().comm_suspended) = true;
    const int slot = FamilyADevice::kSlot;
    EXPECT_EQ(dev.ops_.SendGain(slot, 0, 10), EditResult::kDone);
    EXPECT_EQ(dev.ops_.SendMute(slot, 2, true), EditResult::kDone);
    EXPECT_EQ(dev.ops_.SendLineOut(slot, true), EditResult::kDone);
    EXPECT_EQ(dev.ops_.SendEqBand(slot, 1, 3, {2, 500, 50, 10}, true), EditResult::kDone);
    EXPECT_TRUE(dev.sent_.empty());
    EXPECT_EQ(dev.device().ReceivedCount(), 0);
    EXPECT_EQ(dev.data().Get(4), 10);
    EXPECT_EQ(dev.data().Get(344), 4);
    EXPECT_NE(dev.Difference(), "");
  }
}

TEST(FamilyAPackets, SmallerModelsHaveNoLineOutAndShorterDelays) {
  FamilyADevice dev(comm::kTypeRk360);
  const int slot = FamilyADevice::kSlot;
  EXPECT_EQ(dev.ops_.SendLineOut(slot, true), EditResult::kNotSupported);
  EXPECT_EQ(dev.ops_.SendDelay(slot, 1, 81, 0), EditResult::kRefused);
  EXPECT_EQ(dev.ops_.SendDelay(slot, 1, 80, 48), EditResult::kDone);
  EXPECT_EQ(dev.sent_, std::vector<std::string>{"8D 1F 00 02 01 00 00 00 00 00 50 30 F7"});
  EXPECT_EQ(dev.Difference(), "");
}

TEST(FamilyAPackets, DeviceWithoutAReplyReportsTheLoss) {
  FamilyADevice dev(comm::kTypeRk540);
  dev.device().SetSilent(true);
  EXPECT_EQ(dev.ops_.SendGain(FamilyADevice::kSlot, 0, 10), EditResult::kSendFailed);
  EXPECT_EQ(dev.data().Get(4), 10);
  EXPECT_FALSE(dev.comm_.table()[FamilyADevice::kSlot].online);
}

// A long run of random edits of every kind leaves the device's memories equal to the record:
// the encoder and the device's decoder agree on every offset.
TEST(FamilyAPackets, RandomEditSequenceKeepsDeviceAndPcInStep) {
  FamilyADevice dev(comm::kTypeRk540);
  auto& ops = dev.ops_;
  const int slot = FamilyADevice::kSlot;
  std::mt19937 rng(20261205);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto byte = [&](int hi) { return static_cast<uint8_t>(pick(0, hi)); };
  int done = 0;
  for (int i = 0; i < 300; ++i) {
    const int ch = pick(0, 4);
    const int out = pick(2, 4);
    const int in = pick(0, 1);
    EditResult r = EditResult::kRefused;
    switch (pick(0, 19)) {
      case 0:
        r = ops.SendGain(slot, ch, byte(144));
        break;
      case 1:
        r = ops.SendDelay(slot, ch, pick(0, 540), pick(0, 48));
        break;
      case 2:
        r = ops.SendPolarity(slot, ch, pick(0, 1) == 1);
        break;
      case 3:
        r = ops.SendMute(slot, ch, pick(0, 1) == 1);
        break;
      case 4:
        r = ops.SendCrossover(slot, out, pick(0, 1), pick(20, 20000), pick(0, 8));
        break;
      case 5:
        r = ops.SendEqBand(slot, ch, pick(0, ch < 2 ? 11 : 4),
                           {byte(5), static_cast<uint16_t>(pick(20, 20000)), byte(100), byte(60)},
                           pick(0, 1) == 1);
        break;
      case 6:
        r = ops.SendEqSwitch(slot, ch, pick(0, 1) == 1);
        break;
      case 7:
        r = ops.SendCompressor(slot, in,
                               {byte(150), byte(30), byte(100), byte(29), byte(29), byte(24)},
                               pick(0, 1) == 1);
        break;
      case 8:
        r = ops.SendLimiter(slot, out, {byte(150), byte(49), byte(40)}, pick(0, 1) == 1);
        break;
      case 9:
        r = ops.SendGate(slot, in, {byte(1), byte(6), byte(12), byte(28)});
        break;
      case 10:
        r = ops.SendOutputSource(slot, out, pick(0, 2));
        break;
      case 11:
        r = ops.SendSpeakerDrive(slot, pick(0, 2), pick(0, 1));
        break;
      case 12:
        r = ops.SendInputMode(slot, static_cast<InputModeField>(pick(0, 2)), pick(0, 1));
        if (r == EditResult::kRefused) r = EditResult::kDone;  // digital mode while analog
        break;
      case 13:
        r = ops.SendNoiseGenerator(slot, pick(0, 1), pick(0, 40));
        break;
      case 14:
        r = ops.SendStandby(slot, pick(0, 1) == 1);
        break;
      case 15:
        r = ops.SendLineOut(slot, pick(0, 1) == 1);
        break;
      case 16:
        r = ops.SendSleepMode(slot, pick(0, 1) == 1);
        break;
      case 17:
        r = ops.SendMeterMode(slot, pick(0, 2));
        break;
      case 18:
        r = ops.SendLink(slot, ch, pick(0, 1) == 1);
        break;
      default:
        r = ops.SetDelayUnit(slot, pick(0, 1));
        break;
    }
    ASSERT_EQ(r, EditResult::kDone) << "edit " << i;
    ++done;
    ASSERT_EQ(dev.Difference(), "") << "after edit " << i;
  }
  EXPECT_EQ(done, 300);
  EXPECT_GE(dev.device().ReceivedCount(), 280);
}

}  // namespace
}  // namespace tessaly::protocol
