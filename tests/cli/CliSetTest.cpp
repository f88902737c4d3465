#include "CliHarness.h"

namespace tessaly::test {
namespace {

// The CLI's part of an edit: naming the channel and parameter, reading the value, reporting it.
// Clamping and snapping are the descriptors' to catch, the packets' bytes the family operations'.
struct SetCase {
  const char* args;    // CHANNEL PARAMETER VALUE
  const char* shown;   // the value as the output reports it
  const char* target;  // command and channel bytes of the one packet the edit sends
  int offset = -1;     // an image byte the edit must leave in the device, -1 none
  int byte = 0;
  bool read_back = true;  // whether `get` shows the same text
};

class CliSetTest : public CliFixture {
 protected:
  // Every case starts from the emulator's power-on memories, the family B routing matrix at its
  // reset values.
  void StartDevice(int type, int last_octet = 2) {
    device_ = Device(StartTcp(type, last_octet));
    if (type == 3) {
      device_->WriteSettings(608, QByteArray::fromHex("9E1E1E1E1E9E1E1E1E1E9E1E1E1E1E9E"));
    }
    image_ = device_->Image();
    settings_ = device_->Settings();
  }
  void Check(const SetCase& c) {
    device_->SetImage(image_);
    device_->WriteSettings(0, settings_);
    const QString args = QString::fromLatin1(c.args);
    const CliRun run = RunTcp(2, QStringList{"--trace", "set", args.section(' ', 0, 0),
                                             args.section(' ', 1, 1), args.section(' ', 2)});
    ASSERT_EQ(run.exit_code, 0) << c.args << ": " << run.err.toStdString();
    ASSERT_EQ(run.EditPackets().size(), 1) << c.args;
    EXPECT_EQ(run.EditPackets()[0].section(' ', 3, 4).toStdString(), c.target) << c.args;
    EXPECT_EQ(run.OutLines(), QStringList{args.section(' ', 0, 1) + ' ' + c.shown}) << c.args;
    if (c.offset >= 0) {
      EXPECT_EQ(uint8_t(device_->Image().at(c.offset)), c.byte) << c.args;
    }
    if (!c.read_back) return;
    // Read back through the read-out, as the editor would show it.
    EXPECT_EQ(RunTcp(2, {"get", args.section(' ', 0, 0), args.section(' ', 1, 1)}).OutLines(),
              QStringList{c.shown})
        << c.args;
  }

  std::shared_ptr<sim::SimDevice> device_;
  QByteArray image_, settings_;
};

TEST_F(CliSetTest, FamilyAEveryGroup) {
  StartDevice(0);
  const SetCase cases[] = {
      {"InR gain 3.5", "3.5 dB", "01 01", 84, 127},
      {"Left delay 2ms", "2 ms", "02 02", 163, 2, false},
      {"Sub mute on", "on", "09 04", 344, 16},
      {"InL polarity inverted", "inverted", "03 00", 345, 1},
      {"InL gate.threshold -70", "-70 dB", "1A 00", 1, 4},
      {"InL gate.bypass off", "off", "1A 00", 0, 0},
      {"InL comp.ratio 4:1", "4:1", "07 00", 9, 2},
      {"InR comp.bypass on", "on", "07 01", 346, 29},
      {"Left lim.threshold -6", "-6 dB", "07 02", 165, 60},
      {"InL eq.3.freq 1234", "1234 Hz", "05 00", 25, 4},
      {"Sub eq.1.gain 15", "15 dB", "05 04", 274, 60},
      {"InL eq.2.type Notch", "Notch", "05 00", 19, 5},
      {"InL eq.4.q 1.0", "1", "05 00", 32, 16},
      {"Left eq.2.bypass on", "on", "05 02", 200, 2},
      {"Right eq.bypass on", "on", "06 03", 347, 23},
      {"Left hp.freq 20000", "20000 Hz", "04 02", 168, 0x4E},
      {"Right lp.slope -24dB/oct LR", "-24dB/oct LR", "04 03", 221, 7},
      {"Sub source R", "Input R", "08 04", 256, 1},
      {"Left drive 100V", "16 Ohm - 100V", "19 00", 343, 20},
      {"device input.source noise", "Noise Generator", "1C 00", 348, 2},
      {"device noise.level -10", "-10 dB", "1D 00"},
      {"device standby off", "off", "2C 00"},
      {"device sleep on", "on", "32 00"},
      {"device meter 1", "L/R only Outputs", "35 00"},
      {"Sub link on", "on", "36 00", 350, 16},
  };
  for (const SetCase& c : cases) Check(c);
}

TEST_F(CliSetTest, FamilyBEveryGroup) {
  StartDevice(3);
  const SetCase cases[] = {
      {"In2L gain -6", "-6 dB", "01 02", 164, 108},
      {"Sub mute on", "on", "09 06", 504, 64},
      {"In2R gate.bypass off", "off", "1A 03", 240, 0},
      {"In1R comp.makeup 3", "3 dB", "07 01", 93, 6},
      {"Sub lim.attack 10", "10 ms", "07 06", 426, 9},
      {"In1R eq.2.type notch", "Notch", "05 01", 99, 5},
      {"Left eq.bypass on", "on", "06 04", 507, 111},
      {"Right hp.freq 100", "100 Hz", "04 05", 380, 100},
      {"Sub mix.In2L.level -6", "-6 dB", "08 06", 418, 24},
      {"Sub mix.3.on on", "on", "08 06", 418, 158},
      {"In1L route.2.on on", "on", "1C 00"},
      {"In2R route.1.level -30", "-30 dB", "1C 03"},
      {"Sub drive 100V", "16 Ohm - 100V", "19 00", 503, 5},
      {"device input.digital optical", "Optical", "24 00"},
      {"device noise.enable on", "on", "1D 00"},
      {"In2R link on", "on", "36 00", 510, 8},
  };
  for (const SetCase& c : cases) Check(c);
}

TEST_F(CliSetTest, PickingTheSameBandTypeSendsNothing) {
  StartDevice(0);
  const CliRun run = RunTcp(2, {"--trace", "--json", "set", "InL", "eq.1.type", "Bell"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_TRUE(run.EditPackets().isEmpty());
  EXPECT_FALSE(run.Json().object()["sent"].toBool());
  const CliRun get = RunTcp(2, {"--json", "get", "InL", "eq.1.type"});
  EXPECT_EQ(get.Json().object()["value"].toString(), "Bell");
}

TEST_F(CliSetTest, LinkedChannelsFollowAnEdit) {
  StartDevice(0);
  ASSERT_EQ(RunTcp(2, {"set", "InL", "link", "on"}).exit_code, 0);
  const CliRun run = RunTcp(2, {"--trace", "set", "InR", "gain", "-6"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.EditPackets(), QStringList({"8D 1F 00 01 01 00 00 00 00 00 00 6C F7",
                                            "8D 1F 00 01 00 00 00 00 00 00 00 6C F7"}));
  EXPECT_EQ(run.OutLines(), QStringList({"InR gain -6 dB (linked: InL)"}));
  EXPECT_EQ(uint8_t(device_->Image().at(4)), 108);
  EXPECT_EQ(uint8_t(device_->Image().at(84)), 108);

  StartDevice(3, 3);
  const auto run_b = [this](const QStringList& args) { return RunTcp(3, args); };
  ASSERT_EQ(run_b({"set", "In1L", "link", "on"}).exit_code, 0);
  ASSERT_EQ(run_b({"set", "In2L", "link", "on"}).exit_code, 0);
  const CliRun linked = run_b({"--trace", "--json", "set", "In2L", "eq.6.gain", "4"});
  ASSERT_EQ(linked.exit_code, 0) << linked.err.toStdString();
  EXPECT_EQ(linked.EditPackets(), QStringList({"8D 1F 00 05 02 05 00 00 03 20 09 26 F7",
                                               "8D 1F 00 05 00 05 00 00 03 20 09 26 F7"}));
  EXPECT_EQ(linked.Json().object()["linked"].toArray(), QJsonArray({"In1L"}));
  // A channel outside the link is not touched.
  EXPECT_EQ(run_b({"--trace", "set", "In1R", "eq.6.gain", "4"}).EditPackets().size(), 1);
}

TEST_F(CliSetTest, OverPseudoTerminal) {
  const int index = StartPty(2, 5);
  const CliRun run = Run({"--com", "5", "--trace", "set", "Right", "gain", "-60"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.EditPackets().size(), 1);
  EXPECT_EQ(uint8_t(Device(index)->Image().at(209)), 0);
}

TEST_F(CliSetTest, UsageErrorsSendNothing) {
  StartDevice(3);
  const char* const cases[] = {"Foo gain 1",
                               "7 gain 1",
                               "In1L gain loud",
                               "In1L volume 1",
                               "Sub source R",
                               "Left gate.threshold -70",
                               "In1L lim.threshold 0",
                               "In1L eq.13.gain 1",
                               "Left eq.6.gain 1",
                               "Sub mix.In3L.on on",
                               "In1L route.5.on on",
                               "In1L mute maybe",
                               "device gain 1",
                               "In1L standby on",
                               "device input.source noise",
                               "Left hp.slope -30dB/oct",
                               "In1L gain"};
  for (const char* args : cases) {
    const CliRun run = RunTcp(2, QStringList{"--trace", "set"} + QString(args).split(' '));
    EXPECT_EQ(run.exit_code, 2) << args;
    EXPECT_TRUE(run.EditPackets().isEmpty()) << args;
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.ErrLines().size() - run.Sent().size() - run.Traced("< ").size(), 1) << args;
  }
  EXPECT_EQ(device_->Image(), image_);
}

TEST_F(CliSetTest, UnansweredOrRefusedEditIsExitOne) {
  StartDevice(0);
  // Probe, identify, name and the read-out answer; the edit does not.
  const CliRun count = RunTcp(2, {"--trace", "set", "InL", "gain", "0"});
  ASSERT_EQ(count.exit_code, 0);
  device_->SetFaults(
      {.silent_after = static_cast<int>(count.Sent().size()) - 2});  // not the edit, release
  const CliRun run = RunTcp(2, {"set", "InL", "gain", "1"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.ErrLines().size(), 1) << run.err.toStdString();
  // The coaxial/optical choice is refused while the analog input is the source.
  device_->ClearFaults();
  const CliRun refused = RunTcp(2, {"--trace", "set", "device", "input.digital", "optical"});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_TRUE(refused.EditPackets().isEmpty());
}

TEST_F(CliSetTest, FlatEqBringsEveryBandOfTheChannelToZeroDb) {
  StartDevice(0);
  QByteArray image = image_;
  image[28] = static_cast<char>(44);  // InL band 3 at +7 dB
  device_->SetImage(image);
  const CliRun run = RunTcp(2, {"--trace", "set", "InL", "eq.flat", "yes"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QStringList packets = run.EditPackets();
  ASSERT_EQ(packets.size(), 12);
  EXPECT_EQ(packets[2], QStringLiteral("8D 1F 00 05 00 02 00 00 00 64 09 1E F7"));
  for (const QString& packet : packets) EXPECT_TRUE(packet.endsWith(QStringLiteral("1E F7")));
  EXPECT_EQ(uint8_t(device_->Image().at(28)), 30);
  EXPECT_EQ(RunTcp(2, {"set", "InL", "eq.flat", "no"}).exit_code, 2);
}

}  // namespace
}  // namespace tessaly::test
