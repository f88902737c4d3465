#include "programs/WholeProgram.h"

#include <gtest/gtest.h>

#include <vector>

#include "comm/Comm.h"
#include "device/DeviceTypes.h"
#include "graph/ResponseCurves.h"
#include "programs/ProgramNames.h"
#include "programs/ProgramsRig.h"
#include "protocol/DefaultImage.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

namespace tessaly::programs {
namespace {

using protocol::Family;

TEST(DeriveSlotStateTest, FamilyASwitchesFromMasksAndTail) {
  protocol::ProgramData data(Family::kA);
  namespace fa = protocol::family_a;
  data.Set(fa::kMuteMask, 0b01001);
  data.Set(fa::kPolarityMask, 0b10000);
  data.Set(fa::kDynamicsMask, 0b11101);  // channel 1's compressor bypassed
  data.Set(fa::kEqMask, 0b01111);        // EQ of "Sub" bypassed
  data.Set(fa::kSpeakerDrive, 4 + 16);   // "Right" and "Sub" 70 V, "Left" 100 V
  data.Set(fa::kLinkMask, 1 + 4 + 16);
  data.Set16(fa::kEqBypassOffset[1], 0x0801);  // bands 0 and 11 of channel 1
  data.Set16(fa::kEqBypassOffset[3], 0x0010);  // band 4 of channel 3
  data.Set(fa::kEqBandOffset[30], 5);
  data.Set16(fa::kXoverOffset[3], 20000);
  data.Set(fa::kXoverOffset[3] + 2, 7);
  data.SetTail(protocol::kTailDelayUnit, 0);
  data.SetTail(protocol::kTailNoiseType, 1);
  data.SetTail(protocol::kTailNoiseLevel, 17);
  data.SetTail(protocol::kTailMeterMode, 1);
  data.SetTail(protocol::kTailNoiseEnable, 1);  // a family B field: ignored here

  protocol::SlotState state;
  state.mute.fill(true);  // stale values must not survive
  state.band_bypass.fill(true);
  DeriveSlotState(data, state);

  EXPECT_EQ(state.mute, (std::array<bool, 7>{true, false, false, true, false, false, false}));
  EXPECT_EQ(state.polarity, (std::array<bool, 7>{false, false, false, false, true, false, false}));
  EXPECT_EQ(state.dynamics_bypass,
            (std::array<bool, 7>{false, true, false, false, false, false, false}));
  EXPECT_EQ(state.eq_bypass, (std::array<bool, 7>{false, false, false, false, true, false, false}));
  EXPECT_EQ(state.speaker_drive, (std::array<uint8_t, 3>{0, 1, 1}));
  EXPECT_EQ(state.input_link_on, 1);
  EXPECT_EQ(state.link_member, (std::array<uint8_t, 7>{0, 0, 1, 0, 1, 0, 0}));
  for (int band = 0; band < protocol::kMaxBands; ++band) {
    const bool expected = band == 12 || band == 23 || band == 33;
    EXPECT_EQ(state.band_bypass[band], expected) << band;
  }
  EXPECT_EQ(state.band_type[30], 5);
  EXPECT_EQ(std::tuple(state.crossover[3].frequency, state.crossover[3].slope,
                       state.crossover[0].frequency, state.band_type[29]),
            std::tuple(20000, 7, 20, 0));
  EXPECT_EQ(std::tuple(state.delay_unit, state.noise_type, state.noise_level, state.meter_mode,
                       state.noise_enable),
            std::tuple(0, 1, 17, 1, 0));
}

TEST(DeriveSlotStateTest, FamilyBLinksEveryChannelByItsBit) {
  protocol::ProgramData data(Family::kB);
  data.Set(protocol::family_b::kLinkMask, 0b1010011);
  data.Set(protocol::family_b::kDynamicsMask, 0);
  data.SetTail(protocol::kTailNoiseEnable, 1);
  protocol::SlotState state;
  DeriveSlotState(data, state);
  EXPECT_EQ(state.input_link_on, 0);
  EXPECT_EQ(state.link_member, (std::array<uint8_t, 7>{1, 1, 0, 0, 1, 0, 1}));
  EXPECT_EQ(state.dynamics_bypass, (std::array<bool, 7>{true, true, true, true, true, true, true}));
  EXPECT_EQ(state.noise_enable, 1);
  EXPECT_EQ(state.crossover[5].frequency, 20000);  // default low-pass of "Sub"
}

// A reset record, then shown as a whole image: defaults everywhere, nothing sent to the device.
TEST(ResetProgramTest, FamilyARecordNamesAndStateShownWithoutAWord) {
  Rig rig;
  ASSERT_TRUE(rig.Online(device::kTypeRk540));
  protocol::ProgramData& data = rig.data();
  data.Set(protocol::family_a::kGainOffset[0], 3);
  data.SetTail(protocol::kTailStandby, 0);
  data.SetTail(protocol::kTailMeterMode, 0);
  data.SetTail(protocol::kTailDelayUnit, 0);
  data.SetTail(protocol::kTailNoiseLevel, 30);
  data.SetTail(protocol::kTailNoiseEnable, 9);  // not the reset's business
  rig.state().ip = {10, 0, 0, 9};
  rig.names.At(kSlot)->current_program_name = QStringLiteral("Live");
  rig.names.At(kSlot)->program_name[4] = QStringLiteral("Stage");
  ASSERT_TRUE(rig.graph.RecomputeAll(kSlot));

  ASSERT_TRUE(rig.whole.ResetProgram(kSlot));

  EXPECT_EQ(Bytes(protocol::DefaultImage(device::kTypeRk540)),
            std::vector<uint8_t>(data.Image().begin(), data.Image().end()));
  for (const auto& [index, value] : std::vector<std::pair<int, int>>{
           {16, 1}, {17, 0}, {18, 1}, {21, 0}, {32, 0}, {33, 0}, {45, 2}, {47, 0}, {34, 9}}) {
    EXPECT_EQ(data.Tail(index), value) << "tail " << index;
  }
  protocol::SlotState& state = rig.state();
  EXPECT_EQ(state.ip, (std::array<uint8_t, 4>{192, 168, 0, 100}));
  EXPECT_EQ(state.meter_mode, 2);
  EXPECT_EQ(state.standby, 1);
  EXPECT_EQ(state.noise_type, 0);
  EXPECT_EQ(state.noise_level, 0);
  const ProgramNameList& names = *rig.names.At(kSlot);
  EXPECT_EQ(names.current_program_name, QStringLiteral("Factory Preset"));
  for (int p = 0; p <= device::LastProgramIndex(device::kTypeRk540); ++p) {
    EXPECT_EQ(names.program_name[p], QStringLiteral("Program Empty   ")) << p;
  }
  EXPECT_EQ(rig.graph.Curves(kSlot), nullptr);  // flat again, nothing held

  state.dynamics_bypass.fill(true);  // stale editor state
  state.mute[2] = true;
  state.delay_unit = protocol::kDelayUnitTime;
  int program_changed = 0;
  QObject::connect(&rig.store, &protocol::ProgramStore::programChanged,
                   [&program_changed](int slot) { program_changed += slot == kSlot; });
  rig.device->ClearReceived();
  ASSERT_TRUE(rig.whole.DisplayWholeImage(kSlot, 0));
  EXPECT_EQ(rig.device->ReceivedCount(), 0);
  EXPECT_FALSE(rig.lock());
  EXPECT_EQ(program_changed, 1);
  for (int ch = 0; ch < data.layout().channel_count; ++ch) {
    EXPECT_FALSE(state.dynamics_bypass[ch] || state.eq_bypass[ch] || state.mute[ch]) << ch;
    for (int p = 0; p < graph::kGraphPoints; p += 11) {
      ASSERT_EQ(rig.graph.ChannelValue(kSlot, ch, p), 0.0) << ch << " " << p;  // flat EQ
    }
  }
  EXPECT_EQ(state.delay_unit, protocol::kDelayUnitMeter);
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

TEST(ResetProgramTest, FamilyBRoutingMatrixIsTheDiagonal) {
  Rig rig;
  rig.UseType(device::kType540S);
  for (int i = 608; i < 624; ++i) rig.data().SetTail(i, 0);
  ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
  for (int n = 0; n < 16; ++n) EXPECT_EQ(rig.data().Tail(608 + n), n % 5 == 0 ? 158 : 30) << n;
  EXPECT_FALSE(rig.whole.ResetProgram(33));
}

TEST(ShowProgramTest, RecomputesEveryCurveFromTheImage) {
  Rig rig;
  rig.UseType(device::kType540S);
  ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
  protocol::ProgramData& data = rig.data();
  const protocol::Layout& layout = data.layout();
  const uint8_t notch[] = {5, 0x03, 0xE8, 10, 30};  // 1000 Hz notch
  data.Write(layout.eq_band_offset[40], notch);     // input channel 3
  data.Set16(layout.xover_offset[5], 1000);         // low-pass of "Sub"
  data.Set(layout.xover_offset[5] + 2, 3);
  data.Set(layout.eq_mask, 127 - 8);  // channel 3's EQ bypassed

  ASSERT_TRUE(rig.whole.ShowProgram(kSlot));
  constexpr int k1000Hz = 780;
  EXPECT_DOUBLE_EQ(rig.graph.BandValue(kSlot, 40, k1000Hz).value(), -45.0);
  EXPECT_EQ(rig.graph.ChannelValue(kSlot, 3, k1000Hz), 0.0);
  EXPECT_NEAR(rig.graph.ChannelValue(kSlot, 6, k1000Hz).value(), -6.0206, 1e-3);
  EXPECT_EQ(rig.state().band_type[40], 5);
  EXPECT_EQ(rig.state().crossover[5].slope, 3);
}

TEST(ShowProgramTest, LeavesAnOuterLockStanding) {
  Rig rig;
  rig.UseType(device::kTypeRk360);
  {
    const comm::TransferLock outer(rig.comm);
    ASSERT_TRUE(rig.whole.ShowProgram(kSlot));
    EXPECT_TRUE(rig.lock());  // the inner display leaves the outer lock standing
  }
  EXPECT_EQ(rig.whole.ShowChannelPage(kSlot, 3, PageSend::kSilent), protocol::EditResult::kDone);
  EXPECT_FALSE(rig.lock());
  EXPECT_FALSE(rig.whole.ShowProgram(-1));
  EXPECT_EQ(rig.whole.ShowChannelPage(kSlot, 5, PageSend::kSilent), protocol::EditResult::kRefused);
}

// The commands of a page: its head, then one per band.
std::vector<uint8_t> WithBands(std::vector<uint8_t> head, int bands) {
  head.insert(head.end(), static_cast<size_t>(bands), uint8_t{5});
  return head;
}

TEST(ShowChannelPageTest, SilentPageSendsNothingResentPageSendsItsParameters) {
  struct PageCase {
    int type;
    int channel;
    std::vector<uint8_t> commands;
  };
  const std::vector<PageCase> cases{
      {device::kTypeRk540, 1, WithBands({26, 7}, 12)},
      {device::kTypeRk540, 4, WithBands({7, 4, 4, 8}, 5)},
      {device::kType540S, 2, WithBands({26, 7}, 12)},
      {device::kType540S, 5, WithBands({7, 4, 4, 8}, 5)},
  };
  for (const PageCase& c : cases) {
    Rig rig;
    ASSERT_TRUE(rig.Online(c.type));
    ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
    ASSERT_TRUE(rig.whole.ShowProgram(kSlot));
    rig.device->ClearReceived();

    EXPECT_EQ(rig.whole.ShowChannelPage(kSlot, c.channel, PageSend::kSilent),
              protocol::EditResult::kDone);
    EXPECT_EQ(rig.device->ReceivedCount(), 0) << c.type << " " << c.channel;

    EXPECT_EQ(rig.whole.ShowChannelPage(kSlot, c.channel, PageSend::kResend),
              protocol::EditResult::kDone);
    const QList<uint8_t> got = rig.device->ReceivedCommands();
    EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.end()), c.commands)
        << c.type << " " << c.channel;
    const QList<QByteArray> packets = rig.device->ReceivedPackets();
    for (const QByteArray& packet : packets) {
      EXPECT_EQ(static_cast<uint8_t>(packet[4]), c.channel);  // P1 is the page's channel
    }
    if (c.channel == 5) {  // the mixer command carries the four sends of "Right"
      EXPECT_EQ(Bytes(packets[3].mid(8, 4)), (std::vector<uint8_t>{30, 158, 30, 30}));
    }
    EXPECT_FALSE(rig.lock());
    // The device was told what the image already held: nothing changed on the PC side.
    EXPECT_EQ(Bytes(protocol::DefaultImage(c.type)),
              std::vector<uint8_t>(rig.data().Image().begin(), rig.data().Image().end()));
  }
}

std::vector<std::pair<int, int>> RecordProgress(Rig& rig, std::optional<int> page,
                                                WriteResult& result, int slot = kSlot) {
  std::vector<std::pair<int, int>> steps;
  result = rig.whole.WriteImage(slot, page,
                                [&steps](int step, int total) { steps.emplace_back(step, total); });
  return steps;
}

TEST(ImageWriteTest, BlocksOfThirtyTwoBytesThenCommand49ThenDisplay) {
  for (const auto& [type, blocks] :
       std::vector<std::pair<int, int>>{{device::kTypeRk540, 11}, {device::kType540S, 16}}) {
    Rig rig;
    ASSERT_TRUE(rig.Online(type));
    ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
    protocol::ProgramData& data = rig.data();
    for (int i = 0; i < data.image_size(); ++i) data.Set(i, static_cast<uint8_t>(i * 7 + 3));
    data.Set(data.image_size(), 0xAA);  // the spare byte never travels
    data.Set(data.layout().dynamics_mask, 0);
    const std::vector<uint8_t> written(data.Image().begin(), data.Image().end());
    rig.device->ClearReceived();

    WriteResult result;
    const auto steps = RecordProgress(rig, std::nullopt, result);
    EXPECT_EQ(result.status, WriteStatus::kDone);
    EXPECT_EQ(result.blocks_sent, blocks);

    const QList<QByteArray> packets = rig.device->ReceivedPackets();
    ASSERT_EQ(packets.size(), blocks + 1);
    for (int b = 0; b < blocks; ++b) {
      const QByteArray& p = packets[b];
      const int offset = 32 * b;
      ASSERT_EQ(p.size(), 40) << b;
      EXPECT_EQ(static_cast<uint8_t>(p[0]), 0x80 + 40);
      EXPECT_EQ(Bytes(p.mid(3, 4)),
                (std::vector<uint8_t>{92, static_cast<uint8_t>(offset >> 8),
                                      static_cast<uint8_t>(offset & 0xFF), 32}));
      const auto end = written.begin() + std::min<size_t>(offset + 32, written.size());
      EXPECT_EQ(Bytes(p.mid(7, 32)), std::vector<uint8_t>(written.begin() + offset, end)) << b;
    }
    EXPECT_EQ(Bytes(packets.back()),
              (std::vector<uint8_t>{0x8D, 0x1F, 0, 49, 0, 0, 0, 0, 0, 0, 0, 0, 0xF7}));
    EXPECT_EQ(Bytes(rig.device->Image()), written);
    // The display after the write drops the mute bits of channels the device does not have.
    const int mute = data.layout().mute_mask;
    EXPECT_EQ(data.Get(mute),
              written[static_cast<size_t>(mute)] & ((1 << data.layout().channel_count) - 1));

    ASSERT_EQ(steps.size(), static_cast<size_t>(blocks + 1));
    for (size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(steps[i], std::make_pair(static_cast<int>(i) + 1, blocks + 1));
    }
    // Displayed afterwards without a word to the device.
    EXPECT_TRUE(rig.state().dynamics_bypass[0]);
    EXPECT_FALSE(rig.lock());
  }
}

TEST(ImageWriteTest, SilentDeviceMidWriteStopsTheWrite) {
  Rig rig;
  ASSERT_TRUE(rig.Online(device::kTypeRk540));
  ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
  rig.data().Set(rig.data().layout().dynamics_mask, 0);
  rig.device->ClearReceived();
  rig.device->SetSilentAfter(3);

  WriteResult result;
  const auto steps = RecordProgress(rig, 0, result);
  EXPECT_EQ(result.status, WriteStatus::kSendFailed);
  EXPECT_EQ(result.blocks_sent, 3);
  EXPECT_EQ(steps.size(), 3u);
  EXPECT_EQ(rig.device->ReceivedCommands(), (QList<uint8_t>{92, 92, 92, 92}));
  EXPECT_FALSE(rig.lock());
  EXPECT_FALSE(rig.state().dynamics_bypass[0]);  // not displayed
  EXPECT_FALSE(rig.messenger.shown.isEmpty());   // the lost reply was reported
  EXPECT_EQ(RecordProgress(rig, std::nullopt, result, 33).size(), 0u);
  EXPECT_EQ(result.status, WriteStatus::kRefused);
}

}  // namespace
}  // namespace tessaly::programs
