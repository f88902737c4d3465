#include "programs/WholeProgram.h"

#include <gtest/gtest.h>

#include <vector>

#include "comm/Comm.h"
#include "comm/DeviceTypes.h"
#include "graph/ResponseCurves.h"
#include "programs/ProgramNames.h"
#include "protocol/DefaultImage.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

namespace tessaly::programs {
namespace {

using protocol::Family;

constexpr int kSlot = 3;

std::vector<uint8_t> Bytes(const QByteArray& bytes) { return {bytes.begin(), bytes.end()}; }

// One run's state with the whole-program operations wired as the editor wires them, and
// optionally an emulated device on line in kSlot over TCP.
struct Rig {
  // First member: the emulator and the sockets need the application object to exist.
  struct App {
    App() { test::EnsureCoreApplication(); }
  } app;
  test::RecordingMessenger messenger;
  comm::Comm comm{messenger};
  protocol::ProgramStore store{comm};
  protocol::FamilyAOperations family_a{store};
  protocol::FamilyBOperations family_b{store};
  protocol::Dispatcher dispatcher{store, family_a, family_b};
  graph::ResponseCurves graph{store};
  ProgramNames names;
  WholeProgram whole{comm, store, dispatcher, graph, names};
  test::SimHarness emulator;
  sim::SimDevice* device = nullptr;

  void UseType(int type) { comm.table().device_type[kSlot] = static_cast<int16_t>(type); }

  // Brings an emulated device of `type` on line in kSlot, as after a TCP/IP connect.
  bool Online(int type) {
    UseType(type);
    const int index = emulator.AddTcp(type);
    if (index < 0) return false;
    device = &emulator.device(index);
    const QString address = emulator.address(index);
    comm::CommState& s = comm.state();
    s.connection_mode = comm::kLinkTcp;
    if (comm.tcp().Initialise(comm::kSlotCount) != 0 ||
        comm.tcp().Connect(kSlot, address, emulator.port(), 3000) != 0) {
      ADD_FAILURE() << "no connection to the emulator";
      return false;
    }
    comm::DeviceTable::Found found;
    found.link_kind = comm::kLinkTcp;
    found.ip_address = address;
    found.device_type = static_cast<int16_t>(type);
    comm.table().Register(kSlot, found);
    s.comm_ready = true;
    s.report_link_loss = true;
    s.online_mode = true;
    return true;
  }

  protocol::ProgramData& data() { return *store.Data(kSlot); }
  protocol::SlotState& state() { return *store.State(kSlot); }
  bool lock() const { return comm.state().transfer_lock; }
};

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
  EXPECT_EQ(state.band_type[29], 0);
  EXPECT_EQ(state.crossover[3].frequency, 20000);
  EXPECT_EQ(state.crossover[3].slope, 7);
  EXPECT_EQ(state.crossover[0].frequency, 20);
  EXPECT_EQ(state.delay_unit, 0);
  EXPECT_EQ(state.noise_type, 1);
  EXPECT_EQ(state.noise_level, 17);
  EXPECT_EQ(state.meter_mode, 1);
  EXPECT_EQ(state.noise_enable, 0);
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

TEST(ResetProgramTest, FamilyARecordNamesAndState) {
  Rig rig;
  rig.UseType(comm::kTypeRk540);
  protocol::ProgramData& data = rig.data();
  data.Set(protocol::family_a::kGainOffset[0], 3);
  data.SetTail(protocol::kTailStandby, 0);
  data.SetTail(protocol::kTailMeterMode, 0);
  data.SetTail(protocol::kTailDelayUnit, 0);
  data.SetTail(protocol::kTailNoiseLevel, 30);
  data.SetTail(protocol::kTailNoiseEnable, 9);  // not the reset's business
  rig.state().ip = {10, 0, 0, 9};
  rig.state().mute[2] = true;
  rig.names.At(kSlot)->current_program_name = QStringLiteral("Live");
  rig.names.At(kSlot)->program_name[4] = QStringLiteral("Stage");
  ASSERT_TRUE(rig.graph.RecomputeAll(kSlot));

  ASSERT_TRUE(rig.whole.ResetProgram(kSlot));

  const QByteArray& defaults = protocol::DefaultImage(comm::kTypeRk540);
  EXPECT_EQ(Bytes(defaults), std::vector<uint8_t>(data.Image().begin(), data.Image().end()));
  struct Tail {
    int index;
    uint8_t value;
  };
  for (const Tail t : {Tail{16, 1}, Tail{17, 0}, Tail{18, 1}, Tail{21, 0}, Tail{32, 0}, Tail{33, 0},
                       Tail{45, 2}, Tail{47, 0}, Tail{34, 9}}) {
    EXPECT_EQ(data.Tail(t.index), t.value) << "tail " << t.index;
  }
  const protocol::SlotState& state = rig.state();
  EXPECT_EQ(state.ip, (std::array<uint8_t, 4>{192, 168, 0, 100}));
  EXPECT_EQ(state.delay_unit, protocol::kDelayUnitMeter);
  EXPECT_EQ(state.meter_mode, 2);
  EXPECT_EQ(state.standby, 1);
  EXPECT_EQ(state.noise_type, 0);
  EXPECT_EQ(state.noise_level, 0);
  EXPECT_FALSE(state.mute[2]);

  const ProgramNameList& names = *rig.names.At(kSlot);
  EXPECT_EQ(names.current_program_name, QStringLiteral("Factory Preset"));
  for (int p = 0; p <= comm::LastProgramIndex(comm::kTypeRk540); ++p) {
    EXPECT_EQ(names.program_name[p], QStringLiteral("Program Empty   ")) << p;
  }
  EXPECT_EQ(rig.graph.Curves(kSlot), nullptr);  // flat again, nothing held
  EXPECT_EQ(rig.graph.ChannelValue(kSlot, 0, 500), 0.0);
}

TEST(ResetProgramTest, FamilyBRoutingMatrixIsTheDiagonal) {
  Rig rig;
  rig.UseType(comm::kType540S);
  for (int i = 608; i < 624; ++i) rig.data().SetTail(i, 0);
  ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
  for (int input = 0; input < 4; ++input) {
    for (int source = 0; source < 4; ++source) {
      EXPECT_EQ(rig.data().Tail(608 + 4 * input + source), input == source ? 158 : 30)
          << input << "," << source;
    }
  }
  EXPECT_EQ(Bytes(protocol::DefaultImage(comm::kType540S)),
            std::vector<uint8_t>(rig.data().Image().begin(), rig.data().Image().end()));
  EXPECT_FALSE(rig.whole.ResetProgram(33));
}

TEST(ShowProgramTest, ResetFamilyARecordShowsDefaultsAndSendsNothing) {
  Rig rig;
  ASSERT_TRUE(rig.Online(comm::kTypeRk540));
  ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
  rig.state().dynamics_bypass.fill(true);  // stale editor state
  rig.state().delay_unit = protocol::kDelayUnitTime;
  int program_changed = 0;
  QObject::connect(&rig.store, &protocol::ProgramStore::ProgramChanged,
                   [&program_changed](int slot) { program_changed += slot == kSlot; });
  rig.device->ClearReceived();

  ASSERT_TRUE(rig.whole.DisplayWholeImage(kSlot, 0));

  EXPECT_EQ(rig.device->ReceivedCount(), 0);
  EXPECT_FALSE(rig.lock());
  EXPECT_EQ(program_changed, 1);
  const protocol::SlotState& state = rig.state();
  const protocol::Layout& layout = rig.data().layout();
  for (int ch = 0; ch < layout.channel_count; ++ch) {
    EXPECT_EQ(rig.data().Get(layout.gain_offset[ch]), 120) << ch;  // 0 dB
    EXPECT_FALSE(state.dynamics_bypass[ch]) << ch;
    EXPECT_FALSE(state.eq_bypass[ch]) << ch;
    EXPECT_FALSE(state.mute[ch]) << ch;
    for (int p = 0; p < graph::kGraphPoints; p += 11) {
      ASSERT_EQ(rig.graph.ChannelValue(kSlot, ch, p), 0.0) << ch << " " << p;  // flat EQ
    }
  }
  for (int input = 0; input < layout.input_count; ++input) {
    EXPECT_EQ(rig.data().Get(layout.gate_offset[input]), 1) << input;  // gate bypassed
  }
  EXPECT_EQ(state.delay_unit, protocol::kDelayUnitMeter);
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

TEST(ShowProgramTest, DynamicsMaskZeroBypassesEveryChannel) {
  for (int type : {comm::kTypeRl4800, comm::kType540S}) {
    Rig rig;
    rig.UseType(type);
    ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
    rig.data().Set(rig.data().layout().dynamics_mask, 0);
    ASSERT_TRUE(rig.whole.ShowProgram(kSlot));
    const int channels = rig.data().layout().channel_count;
    for (int ch = 0; ch < protocol::kMaxChannels; ++ch) {
      EXPECT_EQ(rig.state().dynamics_bypass[ch], ch < channels) << type << " " << ch;
    }
  }
}

TEST(ShowProgramTest, RecomputesEveryCurveFromTheImage) {
  Rig rig;
  rig.UseType(comm::kType540S);
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
  rig.UseType(comm::kTypeRk360);
  rig.comm.state().transfer_lock = true;
  ASSERT_TRUE(rig.whole.ShowProgram(kSlot));
  EXPECT_TRUE(rig.lock());
  rig.comm.state().transfer_lock = false;
  EXPECT_EQ(rig.whole.ShowChannelPage(kSlot, 2, PageSend::kSilent), protocol::EditResult::kDone);
  EXPECT_FALSE(rig.lock());
  EXPECT_FALSE(rig.whole.ShowProgram(-1));
  EXPECT_EQ(rig.whole.ShowChannelPage(kSlot, 5, PageSend::kSilent), protocol::EditResult::kRefused);
}

struct PageCase {
  int type;
  int channel;
  std::vector<uint8_t> commands;
};

std::vector<uint8_t> WithBands(std::vector<uint8_t> head, int bands) {
  head.insert(head.end(), static_cast<size_t>(bands), uint8_t{5});
  return head;
}

TEST(ShowChannelPageTest, SilentPageSendsNothingResentPageSendsItsParameters) {
  const std::vector<PageCase> cases{
      {comm::kTypeRk540, 1, WithBands({26, 7}, 12)},
      {comm::kTypeRk540, 4, WithBands({7, 4, 4, 8}, 5)},
      {comm::kType540S, 2, WithBands({26, 7}, 12)},
      {comm::kType540S, 5, WithBands({7, 4, 4, 8}, 5)},
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
    for (const QByteArray& packet : rig.device->ReceivedPackets()) {
      EXPECT_EQ(static_cast<uint8_t>(packet[4]), c.channel);  // P1 is the page's channel
    }
    EXPECT_FALSE(rig.lock());
    // The device was told what the image already held: nothing changed on the PC side.
    EXPECT_EQ(Bytes(protocol::DefaultImage(c.type)),
              std::vector<uint8_t>(rig.data().Image().begin(), rig.data().Image().end()));
  }
}

TEST(ShowChannelPageTest, MixerCommandCarriesTheFourSendsOfTheOutput) {
  Rig rig;
  ASSERT_TRUE(rig.Online(comm::kType540S));
  ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
  ASSERT_TRUE(rig.whole.ShowProgram(kSlot));
  rig.device->ClearReceived();
  ASSERT_EQ(rig.whole.ShowChannelPage(kSlot, 6, PageSend::kResend), protocol::EditResult::kDone);
  const QList<QByteArray> packets = rig.device->ReceivedPackets();
  ASSERT_GE(packets.size(), 4);
  const QByteArray& mixer = packets[3];
  ASSERT_EQ(static_cast<uint8_t>(mixer[3]), 8);
  EXPECT_EQ(Bytes(mixer.mid(8, 4)), (std::vector<uint8_t>{152, 152, 30, 30}));  // "Sub" defaults
}

TEST(ShowChannelPageTest, RedrawsTheChannelItShows) {
  struct Panel : graph::GraphPanel {
    void DrawGraphGrid() override { ++grids; }
    void DrawCurveSegment(const graph::CurveSegment& s) override { channels.push_back(s.channel); }
    int grids = 0;
    std::vector<int> channels;
  } panel;
  Rig rig;
  rig.UseType(comm::kTypeRk540);
  rig.graph.AttachPanel(kSlot, &panel);
  ASSERT_EQ(rig.whole.ShowChannelPage(kSlot, 3, PageSend::kSilent), protocol::EditResult::kDone);
  EXPECT_EQ(panel.grids, 1);
  EXPECT_EQ(panel.channels, std::vector<int>(graph::kGraphPoints - 1, 3));
}

std::vector<std::pair<int, int>> RecordProgress(Rig& rig, std::optional<int> page,
                                                WriteResult& result) {
  std::vector<std::pair<int, int>> steps;
  result = rig.whole.WriteImage(kSlot, page,
                                [&steps](int step, int total) { steps.emplace_back(step, total); });
  return steps;
}

TEST(ImageWriteTest, BlocksOfThirtyTwoBytesThenCommand49ThenDisplay) {
  struct Case {
    int type;
    int blocks;
  };
  for (const Case c : {Case{comm::kTypeRk540, 11}, Case{comm::kType540S, 16}}) {
    Rig rig;
    ASSERT_TRUE(rig.Online(c.type));
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
    EXPECT_EQ(result.blocks_sent, c.blocks);

    const QList<QByteArray> packets = rig.device->ReceivedPackets();
    ASSERT_EQ(packets.size(), c.blocks + 1);
    for (int b = 0; b < c.blocks; ++b) {
      const QByteArray& p = packets[b];
      const int offset = 32 * b;
      ASSERT_EQ(p.size(), 40) << b;
      EXPECT_EQ(static_cast<uint8_t>(p[0]), 0x80 + 40);
      EXPECT_EQ(static_cast<uint8_t>(p[3]), 92);
      EXPECT_EQ(static_cast<uint8_t>(p[4]), offset >> 8) << b;
      EXPECT_EQ(static_cast<uint8_t>(p[5]), offset & 0xFF) << b;
      EXPECT_EQ(static_cast<uint8_t>(p[6]), 32);
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

    ASSERT_EQ(steps.size(), static_cast<size_t>(c.blocks + 1));
    for (size_t i = 0; i < steps.size(); ++i) {
      EXPECT_EQ(steps[i], std::make_pair(static_cast<int>(i) + 1, c.blocks + 1));
    }
    // Displayed afterwards without a word to the device.
    EXPECT_TRUE(rig.state().dynamics_bypass[0]);
    EXPECT_FALSE(rig.lock());
  }
}

TEST(ImageWriteTest, SilentDeviceMidWriteStopsTheWrite) {
  Rig rig;
  ASSERT_TRUE(rig.Online(comm::kTypeRk540));
  ASSERT_TRUE(rig.whole.ResetProgram(kSlot));
  rig.data().Set(rig.data().layout().dynamics_mask, 0);
  rig.device->ClearReceived();
  rig.device->SetSilentAfter(3);

  WriteResult result;
  const auto steps = RecordProgress(rig, 0, result);
  EXPECT_EQ(result.status, WriteStatus::kSendFailed);
  EXPECT_EQ(result.blocks_sent, 3);
  EXPECT_EQ(steps.size(), 3u);
  const QList<uint8_t> commands = rig.device->ReceivedCommands();
  EXPECT_EQ(std::vector<uint8_t>(commands.begin(), commands.end()),
            (std::vector<uint8_t>{92, 92, 92, 92}));
  EXPECT_FALSE(rig.lock());
  EXPECT_FALSE(rig.state().dynamics_bypass[0]);  // not displayed
  EXPECT_FALSE(rig.messenger.shown.isEmpty());   // the lost reply was reported
}

TEST(ImageWriteTest, UnknownSlotIsRefused) {
  Rig rig;
  int calls = 0;
  const WriteResult result =
      rig.whole.WriteImage(33, std::nullopt, [&calls](int, int) { ++calls; });
  EXPECT_EQ(result.status, WriteStatus::kRefused);
  EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace tessaly::programs
