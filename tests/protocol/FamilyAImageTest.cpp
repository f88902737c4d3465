#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "FamilyBSimFixture.h"
#include "comm/DeviceTypes.h"

// What the family A operations keep beside the image (the slot state the editor and graph read,
// the views' notifications) and what they refuse. The slot is not on-line here, so nothing is
// sent; packets and image bytes are checked against the emulator elsewhere.
namespace tessaly::protocol {
namespace {

using test::Band;
using test::Comp;
using test::Gate;
using test::Lim;

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

// The mute mask is rebuilt from the slot state (a stray bit in the image is dropped); a bypass
// switch moves only the edited channel's bit.
TEST_F(FamilyAImageTest, MasksComeFromTheSlotState) {
  ops_.SendMute(kSlot, 0, true);
  ops_.SendMute(kSlot, 3, true);
  store_.Data(kSlot)->Set(344, 0xFF);
  ops_.SendMute(kSlot, 0, false);
  EXPECT_EQ(Img(344), 8);
  ops_.SendPolarity(kSlot, 4, true);
  EXPECT_TRUE(State().polarity[4]);
  ops_.SendCompressor(kSlot, 1, Comp(100, 4, 50, 12, 3, 6), true);
  EXPECT_TRUE(State().dynamics_bypass[1]);
  store_.Data(kSlot)->Set(346, 0);
  ops_.SendLimiter(kSlot, 2, Lim(75, 49, 40), false);
  EXPECT_EQ(Img(346), 4);
  ops_.SendEqBand(kSlot, 1, 11, Band(5, 20000, 100, 60), true);
  EXPECT_EQ(State().band_type[23], 5);
  EXPECT_TRUE(State().band_bypass[23]);
}

TEST_F(FamilyAImageTest, CrossoverAndSettingsReachTheSlotState) {
  EXPECT_EQ(ops_.SendCrossover(kSlot, 3, kFilterLowPass, 20000, 7), EditResult::kDone);
  EXPECT_EQ(State().crossover[3].frequency, 20000);
  EXPECT_EQ(State().crossover[3].slope, 7);
  ops_.SendNoiseGenerator(kSlot, 1, 40);
  ops_.SetDelayUnit(kSlot, kDelayUnitTime);
  EXPECT_EQ(State().noise_level, 40);
  EXPECT_EQ(State().delay_unit, kDelayUnitTime);
  EXPECT_EQ(store_.Data(kSlot)->Tail(kTailDelayUnit), 0);
  EXPECT_EQ(store_.Data(kSlot)->Record()[353 + 33], 40);
}

// The digital mode only counts while the digital input is chosen.
TEST_F(FamilyAImageTest, DigitalModeNeedsTheDigitalInput) {
  EXPECT_EQ(ops_.SendInputMode(kSlot, InputModeField::kDigitalMode, 1), EditResult::kRefused);
  EXPECT_EQ(Img(342), 0);
  EXPECT_EQ(ops_.SendInputMode(kSlot, InputModeField::kSource, 1), EditResult::kDone);
  EXPECT_EQ(ops_.SendInputMode(kSlot, InputModeField::kDigitalMode, 1), EditResult::kDone);
  EXPECT_EQ(Img(342), 1);
  EXPECT_EQ(Img(348), 1);
}

// Every refused call leaves the record, the slot state and the views exactly as they were. Value
// ranges both families share are refused by common code and listed with the family B cases.
TEST_F(FamilyAImageTest, OutOfRangeArgumentsAreRefusedBeforeTheImageIsTouched) {
  using Call = std::function<EditResult(FamilyAOperations&)>;
  const std::vector<Call> calls{
      [](auto& o) { return o.SendGain(kSlot, 5, 120); },
      [](auto& o) { return o.SendGain(kSlot, -1, 120); },
      [](auto& o) { return o.SendDelay(kSlot, 0, 961, 0); },
      [](auto& o) { return o.SendDelay(kSlot, 2, 541, 0); },
      [](auto& o) { return o.SendDelay(kSlot, 0, -1, 0); },
      [](auto& o) { return o.SendPolarity(kSlot, 5, true); },
      [](auto& o) { return o.SendMute(kSlot, 7, true); },
      [](auto& o) { return o.SendCrossover(kSlot, 1, 0, 100, 1); },
      [](auto& o) { return o.SendCrossover(kSlot, 2, 2, 100, 1); },
      [](auto& o) { return o.SendCrossover(kSlot, 2, 0, 20001, 1); },
      [](auto& o) { return o.SendEqBand(kSlot, 0, 12, Band(0, 100, 9, 30), true); },
      [](auto& o) { return o.SendEqBand(kSlot, 2, 5, Band(0, 100, 9, 30), true); },
      [](auto& o) { return o.SendEqBand(kSlot, 0, 0, Band(0, 19, 9, 30), true); },
      [](auto& o) { return o.SendEqBand(kSlot, 0, 0, Band(0, 100, 101, 30), true); },
      [](auto& o) { return o.SendEqSwitch(kSlot, 5, true); },
      [](auto& o) { return o.SendCompressor(kSlot, 2, Comp(0, 0, 0, 0, 0, 0), true); },
      [](auto& o) { return o.SendCompressor(kSlot, 0, Comp(0, 0, 0, 0, 0, 25), true); },
      [](auto& o) { return o.SendLimiter(kSlot, 1, Lim(0, 0, 0), true); },
      [](auto& o) { return o.SendLimiter(kSlot, 2, Lim(0, 50, 0), true); },
      [](auto& o) { return o.SendGate(kSlot, 2, Gate(0, 0, 0, 0)); },
      [](auto& o) { return o.SendGate(kSlot, 0, Gate(2, 0, 0, 0)); },
      [](auto& o) { return o.SendSpeakerDrive(kSlot, 3, 0); },
      [](auto& o) { return o.SendLink(kSlot, 5, true); },
      [](auto& o) { return o.SetDelayUnit(kSlot, 2); },
      [](auto& o) { return o.SendOutputSource(kSlot, 1, 0); },
      [](auto& o) { return o.SendOutputSource(kSlot, 2, 3); },
      [](auto& o) { return o.SendInputMode(kSlot, InputModeField::kSource, 3); },
      [](auto& o) { return o.SendInputMode(kSlot, InputModeField::kAnalogMode, 2); },
  };
  const auto before = Record();
  const SlotState state_before = State();
  int notified = 0;
  QObject::connect(&store_, &ProgramStore::ChannelChanged, [&] { ++notified; });
  QObject::connect(&store_, &ProgramStore::DeviceSettingsChanged, [&] { ++notified; });
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i](ops_), EditResult::kRefused) << "call " << i;
    EXPECT_EQ(Record(), before) << "call " << i;
  }
  EXPECT_EQ(State().mute, state_before.mute);
  EXPECT_EQ(State().band_bypass, state_before.band_bypass);
  EXPECT_EQ(State().dynamics_bypass, state_before.dynamics_bypass);
  EXPECT_EQ(State().link_member, state_before.link_member);
  EXPECT_EQ(notified, 0);
  // A family B slot never reaches these operations, nor the line output a smaller model lacks.
  comm_.table().device_type[kSlot] = comm::kTypeRl4800;
  EXPECT_EQ(ops_.SendLineOut(kSlot, false), EditResult::kNotSupported);
  comm_.table().device_type[kSlot] = comm::kType540S;
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
  ops_.SendEqBand(kSlot, 0, 2, Band(0, 100, 9, 30), false);
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
