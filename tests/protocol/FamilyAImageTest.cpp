#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "comm/Comm.h"
#include "comm/DeviceTypes.h"
#include "protocol/Dispatch.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"

// Image and slot-state effects of the family A operations. The slot is not on-line here, so
// TxCommand sends nothing; the packets themselves are checked against the emulator elsewhere.
namespace tessaly::protocol {
namespace {

class FamilyAImageTest : public testing::Test {
 protected:
  FamilyAImageTest() : comm_(messenger_), store_(comm_), ops_(store_) {}

  uint8_t Img(int offset) const { return store_.Data(kSlot)->Get(offset).value(); }
  std::vector<uint8_t> Record() const {
    const auto r = store_.Data(kSlot)->Record();
    return {r.begin(), r.end()};
  }
  SlotState& State() { return *store_.State(kSlot); }

  static constexpr int kSlot = 4;
  test::RecordingMessenger messenger_;
  comm::Comm comm_;
  ProgramStore store_;
  FamilyAOperations ops_;
};

TEST_F(FamilyAImageTest, GainStoredAtTheChannelOffset) {
  EXPECT_EQ(ops_.SendGain(kSlot, 1, 108), EditResult::kDone);
  EXPECT_EQ(Img(84), 108);
  EXPECT_EQ(ops_.SendGain(kSlot, 4, 144), EditResult::kDone);
  EXPECT_EQ(Img(257), 144);
}

TEST_F(FamilyAImageTest, MuteMaskRebuiltFromEveryChannel) {
  ops_.SendMute(kSlot, 0, true);
  ops_.SendMute(kSlot, 3, true);
  EXPECT_EQ(Img(344), 9);
  // A stray bit in the image is dropped, since the mask is rebuilt from the slot state.
  store_.Data(kSlot)->Set(344, 0xFF);
  ops_.SendMute(kSlot, 0, false);
  EXPECT_EQ(Img(344), 8);
}

TEST_F(FamilyAImageTest, PolarityMaskRebuiltFromEveryChannel) {
  ops_.SendPolarity(kSlot, 4, true);
  ops_.SendPolarity(kSlot, 1, true);
  EXPECT_EQ(Img(345), 18);
  EXPECT_TRUE(State().polarity[4]);
  ops_.SendPolarity(kSlot, 4, false);
  EXPECT_EQ(Img(345), 2);
}

TEST_F(FamilyAImageTest, CompressorBypassClearsItsWorkingBit) {
  const CompressorValues comp{100, 4, 50, 12, 3, 6};
  EXPECT_EQ(ops_.SendCompressor(kSlot, 1, comp, true), EditResult::kDone);
  EXPECT_EQ(Img(346), 31 - 2);
  EXPECT_EQ(store_.Data(kSlot)->Read(88, 6), (std::vector<uint8_t>{100, 4, 50, 12, 3, 6}));
  EXPECT_TRUE(State().dynamics_bypass[1]);
  ops_.SendCompressor(kSlot, 1, comp, false);
  EXPECT_EQ(Img(346), 31);
}

TEST_F(FamilyAImageTest, LimiterBypassClearsItsWorkingBit) {
  EXPECT_EQ(ops_.SendLimiter(kSlot, 3, {75, 49, 40}, true), EditResult::kDone);
  EXPECT_EQ(Img(346), 31 - 8);
  EXPECT_EQ(store_.Data(kSlot)->Read(213, 3), (std::vector<uint8_t>{75, 49, 40}));
  // Only the edited channel's bit moves, whatever the others hold.
  store_.Data(kSlot)->Set(346, 0);
  ops_.SendLimiter(kSlot, 2, {75, 49, 40}, false);
  EXPECT_EQ(Img(346), 4);
}

TEST_F(FamilyAImageTest, EqSwitchKeepsItsWorkingBit) {
  ops_.SendEqSwitch(kSlot, 0, true);
  ops_.SendEqSwitch(kSlot, 4, true);
  EXPECT_EQ(Img(347), 31 - 1 - 16);
  ops_.SendEqSwitch(kSlot, 0, false);
  EXPECT_EQ(Img(347), 31 - 16);
}

TEST_F(FamilyAImageTest, BandBypassMaskIsBigEndianOverTheChannelsBands) {
  const EqBandValues band{0, 1000, 9, 30};
  ops_.SendEqBand(kSlot, 1, 0, band, true);
  ops_.SendEqBand(kSlot, 1, 11, {5, 20000, 100, 60}, true);
  EXPECT_EQ(Img(154), 8);
  EXPECT_EQ(Img(155), 1);
  EXPECT_EQ(store_.Data(kSlot)->Read(149, 5), (std::vector<uint8_t>{5, 78, 32, 100, 60}));
  EXPECT_EQ(State().band_type[23], 5);
  // Another channel's flags never leak into this one.
  ops_.SendEqBand(kSlot, 2, 4, band, true);
  EXPECT_EQ(store_.Data(kSlot)->Get16(199), 16);
  EXPECT_EQ(store_.Data(kSlot)->Get16(154), 2049);
  ops_.SendEqBand(kSlot, 1, 0, band, false);
  EXPECT_EQ(store_.Data(kSlot)->Get16(154), 2048);
}

TEST_F(FamilyAImageTest, CrossoverStoresFrequencyAndSlopeForTheGraph) {
  EXPECT_EQ(ops_.SendCrossover(kSlot, 3, kFilterLowPass, 20000, 7), EditResult::kDone);
  EXPECT_EQ(store_.Data(kSlot)->Read(219, 3), (std::vector<uint8_t>{78, 32, 7}));
  EXPECT_EQ(State().crossover[3].frequency, 20000);
  EXPECT_EQ(State().crossover[3].slope, 7);
  ops_.SendCrossover(kSlot, 2, kFilterHighPass, 80, 3);
  EXPECT_EQ(store_.Data(kSlot)->Read(168, 3), (std::vector<uint8_t>{0, 80, 3}));
}

TEST_F(FamilyAImageTest, DelayIsMillisecondsThenSamples) {
  EXPECT_EQ(ops_.SendDelay(kSlot, 0, 960, 48), EditResult::kDone);
  EXPECT_EQ(store_.Data(kSlot)->Read(5, 3), (std::vector<uint8_t>{3, 192, 48}));
  EXPECT_EQ(ops_.SendDelay(kSlot, 4, 540, 0), EditResult::kDone);
  EXPECT_EQ(store_.Data(kSlot)->Read(258, 3), (std::vector<uint8_t>{2, 28, 0}));
}

TEST_F(FamilyAImageTest, DelayLimitFollowsTheDeviceType) {
  comm_.table().device_type[kSlot] = comm::kTypeRk360;
  EXPECT_EQ(ops_.SendDelay(kSlot, 0, 81, 0), EditResult::kRefused);
  EXPECT_EQ(ops_.SendDelay(kSlot, 2, 51, 0), EditResult::kRefused);
  EXPECT_EQ(ops_.SendDelay(kSlot, 2, 50, 48), EditResult::kDone);
  EXPECT_EQ(store_.Data(kSlot)->Read(162, 3), (std::vector<uint8_t>{0, 50, 48}));
}

TEST_F(FamilyAImageTest, GateWritesItsFourBytes) {
  EXPECT_EQ(ops_.SendGate(kSlot, 1, {0, 6, 12, 28}), EditResult::kDone);
  EXPECT_EQ(store_.Data(kSlot)->Read(80, 4), (std::vector<uint8_t>{0, 6, 12, 28}));
}

TEST_F(FamilyAImageTest, SpeakerDriveCombinesTheThreeOutputs) {
  ops_.SendSpeakerDrive(kSlot, 1, 0);
  EXPECT_EQ(Img(343), 17);
  ops_.SendSpeakerDrive(kSlot, 0, 0);
  ops_.SendSpeakerDrive(kSlot, 2, 0);
  EXPECT_EQ(Img(343), 0);
  ops_.SendSpeakerDrive(kSlot, 2, 1);
  EXPECT_EQ(Img(343), 16);
}

TEST_F(FamilyAImageTest, OutputSourceAndInputMode) {
  EXPECT_EQ(ops_.SendOutputSource(kSlot, 4, 0), EditResult::kDone);
  EXPECT_EQ(Img(256), 0);
  EXPECT_EQ(ops_.SendInputMode(kSlot, InputModeField::kAnalogMode, 1), EditResult::kDone);
  EXPECT_EQ(Img(341), 1);
  // The digital mode only counts while the digital input is chosen.
  EXPECT_EQ(ops_.SendInputMode(kSlot, InputModeField::kDigitalMode, 1), EditResult::kRefused);
  EXPECT_EQ(Img(342), 0);
  EXPECT_EQ(ops_.SendInputMode(kSlot, InputModeField::kSource, 1), EditResult::kDone);
  EXPECT_EQ(ops_.SendInputMode(kSlot, InputModeField::kDigitalMode, 1), EditResult::kDone);
  EXPECT_EQ(Img(342), 1);
  EXPECT_EQ(Img(348), 1);
}

TEST_F(FamilyAImageTest, LinkByteFromInputFlagAndOutputMembers) {
  ops_.SendLink(kSlot, 1, true);
  ops_.SendLink(kSlot, 3, true);
  ops_.SendLink(kSlot, 4, true);
  EXPECT_EQ(Img(350), 25);
  EXPECT_EQ(State().input_link_on, 1);
  ops_.SendLink(kSlot, 0, false);
  EXPECT_EQ(Img(350), 24);
}

TEST_F(FamilyAImageTest, DeviceSettingsGoToTheRecordTail) {
  ProgramData& data = *store_.Data(kSlot);
  ops_.SendNoiseGenerator(kSlot, 1, 40);
  ops_.SendStandby(kSlot, false);
  ops_.SendSleepMode(kSlot, true);
  ops_.SendMeterMode(kSlot, 0);
  ops_.SetDelayUnit(kSlot, kDelayUnitTime);
  EXPECT_EQ(data.Tail(kTailNoiseType), 1);
  EXPECT_EQ(data.Tail(kTailNoiseLevel), 40);
  EXPECT_EQ(data.Tail(kTailStandby), 0);
  EXPECT_EQ(data.Tail(kTailSleepMode), 1);
  EXPECT_EQ(data.Tail(kTailMeterMode), 0);
  EXPECT_EQ(data.Tail(kTailDelayUnit), 0);
  EXPECT_EQ(State().noise_level, 40);
  EXPECT_EQ(State().delay_unit, kDelayUnitTime);
  EXPECT_EQ(data.Record()[353 + 33], 40);
}

TEST_F(FamilyAImageTest, LineOutOnlyOnTheRk540) {
  EXPECT_EQ(ops_.SendLineOut(kSlot, true), EditResult::kDone);
  EXPECT_EQ(Img(349), 1);
  comm_.table().device_type[kSlot] = comm::kTypeRl4800;
  const auto before = Record();
  EXPECT_EQ(ops_.SendLineOut(kSlot, false), EditResult::kNotSupported);
  EXPECT_EQ(Record(), before);
}

// Every refused call leaves the record and the slot state exactly as they were.
TEST_F(FamilyAImageTest, OutOfRangeArgumentsAreRefusedBeforeTheImageIsTouched) {
  const std::vector<std::pair<const char*, std::function<EditResult()>>> calls{
      {"gain channel", [&] { return ops_.SendGain(kSlot, 5, 120); }},
      {"gain channel -1", [&] { return ops_.SendGain(kSlot, -1, 120); }},
      {"gain value", [&] { return ops_.SendGain(kSlot, 0, 145); }},
      {"bad slot", [&] { return ops_.SendGain(33, 0, 120); }},
      {"delay ms", [&] { return ops_.SendDelay(kSlot, 0, 961, 0); }},
      {"delay output ms", [&] { return ops_.SendDelay(kSlot, 2, 541, 0); }},
      {"delay samples", [&] { return ops_.SendDelay(kSlot, 0, 1, 49); }},
      {"delay negative", [&] { return ops_.SendDelay(kSlot, 0, -1, 0); }},
      {"polarity channel", [&] { return ops_.SendPolarity(kSlot, 5, true); }},
      {"mute channel", [&] { return ops_.SendMute(kSlot, 7, true); }},
      {"crossover on input", [&] { return ops_.SendCrossover(kSlot, 1, 0, 100, 1); }},
      {"crossover filter", [&] { return ops_.SendCrossover(kSlot, 2, 2, 100, 1); }},
      {"crossover low", [&] { return ops_.SendCrossover(kSlot, 2, 0, 19, 1); }},
      {"crossover high", [&] { return ops_.SendCrossover(kSlot, 2, 0, 20001, 1); }},
      {"crossover slope", [&] { return ops_.SendCrossover(kSlot, 2, 0, 100, 9); }},
      {"band of input",
       [&] {
         return ops_.SendEqBand(kSlot, 0, 12, {0, 100, 9, 30}, true);
       }},
      {"band of output",
       [&] {
         return ops_.SendEqBand(kSlot, 2, 5, {0, 100, 9, 30}, true);
       }},
      {"band type",
       [&] {
         return ops_.SendEqBand(kSlot, 0, 0, {6, 100, 9, 30}, true);
       }},
      {"band freq",
       [&] {
         return ops_.SendEqBand(kSlot, 0, 0, {0, 19, 9, 30}, true);
       }},
      {"band q",
       [&] {
         return ops_.SendEqBand(kSlot, 0, 0, {0, 100, 101, 30}, true);
       }},
      {"band gain",
       [&] {
         return ops_.SendEqBand(kSlot, 0, 0, {0, 100, 9, 61}, true);
       }},
      {"eq switch", [&] { return ops_.SendEqSwitch(kSlot, 5, true); }},
      {"compressor on output",
       [&] {
         return ops_.SendCompressor(kSlot, 2, {0, 0, 0, 0, 0, 0}, true);
       }},
      {"compressor ratio",
       [&] {
         return ops_.SendCompressor(kSlot, 0, {0, 31, 0, 0, 0, 0}, true);
       }},
      {"compressor makeup",
       [&] {
         return ops_.SendCompressor(kSlot, 0, {0, 0, 0, 0, 0, 25}, true);
       }},
      {"limiter on input",
       [&] {
         return ops_.SendLimiter(kSlot, 1, {0, 0, 0}, true);
       }},
      {"limiter release",
       [&] {
         return ops_.SendLimiter(kSlot, 2, {0, 50, 0}, true);
       }},
      {"limiter attack",
       [&] {
         return ops_.SendLimiter(kSlot, 2, {0, 0, 41}, true);
       }},
      {"gate on output",
       [&] {
         return ops_.SendGate(kSlot, 2, {0, 0, 0, 0});
       }},
      {"gate threshold",
       [&] {
         return ops_.SendGate(kSlot, 0, {0, 7, 0, 0});
       }},
      {"gate bypass",
       [&] {
         return ops_.SendGate(kSlot, 0, {2, 0, 0, 0});
       }},
      {"speaker output", [&] { return ops_.SendSpeakerDrive(kSlot, 3, 0); }},
      {"speaker drive", [&] { return ops_.SendSpeakerDrive(kSlot, 0, 2); }},
      {"noise type", [&] { return ops_.SendNoiseGenerator(kSlot, 2, 0); }},
      {"noise level", [&] { return ops_.SendNoiseGenerator(kSlot, 0, 41); }},
      {"meter mode", [&] { return ops_.SendMeterMode(kSlot, 3); }},
      {"link channel", [&] { return ops_.SendLink(kSlot, 5, true); }},
      {"delay unit", [&] { return ops_.SetDelayUnit(kSlot, 2); }},
      {"source on input", [&] { return ops_.SendOutputSource(kSlot, 1, 0); }},
      {"source value", [&] { return ops_.SendOutputSource(kSlot, 2, 3); }},
      {"input source", [&] { return ops_.SendInputMode(kSlot, InputModeField::kSource, 3); }},
      {"analog mode", [&] { return ops_.SendInputMode(kSlot, InputModeField::kAnalogMode, 2); }},
  };
  const auto before = Record();
  const SlotState state_before = State();
  int notified = 0;
  QObject::connect(&store_, &ProgramStore::ChannelChanged, [&] { ++notified; });
  QObject::connect(&store_, &ProgramStore::DeviceSettingsChanged, [&] { ++notified; });
  for (const auto& [what, call] : calls) {
    EXPECT_EQ(call(), EditResult::kRefused) << what;
    EXPECT_EQ(Record(), before) << what;
  }
  EXPECT_EQ(State().mute, state_before.mute);
  EXPECT_EQ(State().band_bypass, state_before.band_bypass);
  EXPECT_EQ(State().dynamics_bypass, state_before.dynamics_bypass);
  EXPECT_EQ(State().link_member, state_before.link_member);
  EXPECT_EQ(notified, 0);
}

TEST_F(FamilyAImageTest, FamilyBSlotNeverReachesFamilyAOperations) {
  comm_.table().device_type[kSlot] = comm::kType540S;
  const auto before = std::vector<uint8_t>(store_.Data(kSlot, Family::kA)->Record().begin(),
                                           store_.Data(kSlot, Family::kA)->Record().end());
  EXPECT_EQ(ops_.SendGain(kSlot, 0, 10), EditResult::kRefused);
  EXPECT_EQ(ops_.SendMute(kSlot, 0, true), EditResult::kRefused);
  EXPECT_EQ(store_.Data(kSlot, Family::kB)->Get(4), 120);
  EXPECT_EQ(std::vector<uint8_t>(store_.Data(kSlot, Family::kA)->Record().begin(),
                                 store_.Data(kSlot, Family::kA)->Record().end()),
            before);
}

TEST_F(FamilyAImageTest, ViewsHearWhichChannelChanged) {
  std::vector<std::pair<int, int>> channels;
  int settings = 0;
  QObject::connect(&store_, &ProgramStore::ChannelChanged,
                   [&](int slot, int ch) { channels.emplace_back(slot, ch); });
  QObject::connect(&store_, &ProgramStore::DeviceSettingsChanged, [&](int) { ++settings; });
  ops_.SendGain(kSlot, 3, 100);
  ops_.SendEqBand(kSlot, 0, 2, {0, 100, 9, 30}, false);
  ops_.SendMeterMode(kSlot, 1);
  EXPECT_EQ(channels, (std::vector<std::pair<int, int>>{{kSlot, 3}, {kSlot, 0}}));
  EXPECT_EQ(settings, 1);
}

// A stand-in for the other family: records that it was chosen.
class MarkerOperations : public FamilyAOperations {
 public:
  using FamilyAOperations::FamilyAOperations;
  EditResult SendGain(int, int, uint8_t) override {
    ++calls;
    return EditResult::kDone;
  }
  int calls = 0;
};

TEST_F(FamilyAImageTest, DispatcherSendsTypeThreeToFamilyB) {
  MarkerOperations family_b(store_);
  Dispatcher dispatch(store_, ops_, family_b);
  for (int type : {0, 1, 2}) {
    comm_.table().device_type[kSlot] = static_cast<int16_t>(type);
    EXPECT_EQ(&dispatch.For(kSlot), &ops_) << type;
  }
  comm_.table().device_type[kSlot] = comm::kType540S;
  EXPECT_EQ(&dispatch.For(kSlot), &family_b);
  comm_.state().current_device = kSlot;
  dispatch.Current().SendGain(kSlot, 0, 1);
  EXPECT_EQ(family_b.calls, 1);
  comm_.state().current_device = 0;
  EXPECT_EQ(&dispatch.Current(), &ops_);
}

}  // namespace
}  // namespace tessaly::protocol
