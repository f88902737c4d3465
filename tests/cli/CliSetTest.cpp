#include <QJsonArray>
#include <QJsonObject>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

struct SetCase {
  QStringList args;     // CHANNEL PARAMETER VALUE
  QString shown;        // the value as the output reports it
  QStringList packets;  // exactly what goes out for the edit, in order
  int offset = -1;      // an image byte the edit must leave in the device, -1 none
  int byte = 0;
};

// Every case starts from the same device: the emulator's power-on image and settings, with the
// family B routing matrix at its reset values.
class CliSetFixture : public CliFixture {
 protected:
  void StartDevice(int type) {
    device_ = Device(StartTcp(type, 2));
    if (type == 3) {
      device_->WriteSettings(608, QByteArray::fromHex("9E1E1E1E1E9E1E1E1E1E9E1E1E1E1E9E"));
    }
    image_ = device_->Image();
    settings_ = device_->Settings();
  }
  void Restore() {
    device_->SetImage(image_);
    device_->WriteSettings(0, settings_);
  }
  void Check(const SetCase& c) {
    Restore();
    const CliRun run = RunTcp(2, QStringList{"--trace", "set"} + c.args);
    const std::string what = c.args.join(' ').toStdString();
    ASSERT_EQ(run.exit_code, 0) << what << ": " << run.err.toStdString();
    EXPECT_EQ(run.EditPackets(), c.packets) << what;
    ASSERT_EQ(run.OutLines().size(), 1) << what;
    EXPECT_EQ(run.OutLines()[0], c.args[0] + ' ' + c.args[1] + ' ' + c.shown) << what;
    if (c.offset >= 0) {
      EXPECT_EQ(static_cast<uint8_t>(device_->Image().at(c.offset)), c.byte) << what;
    }
  }

  std::shared_ptr<sim::SimDevice> device_;
  QByteArray image_;
  QByteArray settings_;
};

using CliSetTest = CliSetFixture;

TEST_F(CliSetTest, FamilyAEveryGroup) {
  StartDevice(0);
  const std::vector<SetCase> cases = {
      {{"InR", "gain", "3.3"}, "3.5 dB", {"8D 1F 00 01 01 00 00 00 00 00 00 7F F7"}, 84, 127},
      {{"Left", "delay", "2ms"}, "2 ms", {"8D 1F 00 02 02 00 00 00 00 00 02 00 F7"}, 163, 2},
      {{"Sub", "mute", "on"}, "on", {"8D 1F 00 09 04 00 00 00 00 00 00 01 F7"}, 344, 16},
      {{"InL", "polarity", "inverted"},
       "inverted",
       {"8D 1F 00 03 00 00 00 00 00 00 00 01 F7"},
       345,
       1},
      {{"InL", "gate.threshold", "-72"},
       "-70 dB",
       {"8D 1F 00 1A 00 00 00 00 01 04 05 06 F7"},
       1,
       4},
      {{"InL", "gate.bypass", "off"}, "off", {"8D 1F 00 1A 00 00 00 00 00 02 05 06 F7"}, 0, 0},
      {{"InL", "comp.ratio", "4:1"}, "4:1", {"8D 1F 00 07 00 00 96 02 00 0A 00 00 F7"}, 9, 2},
      {{"InR", "comp.bypass", "on"}, "on", {"8D 1F 00 07 01 01 96 14 00 0A 00 00 F7"}, 346, 29},
      {{"Left", "lim.threshold", "-6"},
       "-6 dB",
       {"8D 1F 00 07 02 00 00 00 00 3C 14 00 F7"},
       165,
       60},
      {{"InL", "eq.3.freq", "1234"}, "1234 Hz", {"8D 1F 00 05 00 02 00 00 04 D2 09 1E F7"}, 25, 4},
      {{"Sub", "eq.1.gain", "20"}, "15 dB", {"8D 1F 00 05 04 00 00 00 00 7D 09 3C F7"}, 274, 60},
      {{"InL", "eq.2.type", "Notch"}, "Notch", {"8D 1F 00 05 00 01 00 05 00 50 09 1E F7"}, 19, 5},
      {{"InL", "eq.4.q", "1.0"}, "1", {"8D 1F 00 05 00 03 00 00 00 C8 10 1E F7"}, 32, 16},
      {{"Left", "eq.2.bypass", "on"}, "on", {"8D 1F 00 05 02 01 01 00 00 FA 09 1E F7"}, 200, 2},
      {{"Right", "eq.bypass", "on"}, "on", {"8D 1F 00 06 03 00 00 00 00 00 00 01 F7"}, 347, 23},
      {{"Left", "hp.freq", "25000"},
       "20000 Hz",
       {"8D 1F 00 04 02 00 00 00 00 4E 20 00 F7"},
       168,
       0x4E},
      {{"Right", "lp.slope", "-24dB/oct LR"},
       "-24dB/oct LR",
       {"8D 1F 00 04 03 01 00 00 00 4E 20 07 F7"},
       221,
       7},
      {{"Sub", "source", "R"}, "Input R", {"8D 1F 00 08 04 00 00 00 00 00 00 01 F7"}, 256, 1},
      {{"Left", "drive", "100V"},
       "16 Ohm - 100V",
       {"8D 1F 00 19 00 00 00 00 00 00 00 14 F7"},
       343,
       20},
      {{"device", "input.source", "noise"},
       "Noise Generator",
       {"8D 1F 00 1C 00 00 00 00 00 00 00 02 F7"},
       348,
       2},
      {{"device", "noise.level", "-10.4"}, "-10 dB", {"8D 1F 00 1D 00 00 00 00 00 00 00 1E F7"}},
      {{"device", "standby", "off"}, "off", {"8D 1F 00 2C 00 00 00 00 00 00 00 00 F7"}},
      {{"device", "sleep", "on"}, "on", {"8D 1F 00 32 00 00 00 00 00 00 00 01 F7"}},
      {{"device", "meter", "1"}, "L/R only Outputs", {"8D 1F 00 35 00 00 00 00 00 00 00 01 F7"}},
      {{"Sub", "link", "on"}, "on", {"8D 1F 00 36 00 00 00 00 00 00 00 10 F7"}, 350, 16},
  };
  for (const SetCase& c : cases) Check(c);
}

TEST_F(CliSetTest, FamilyBEveryGroup) {
  StartDevice(3);
  const std::vector<SetCase> cases = {
      {{"In2L", "gain", "-6"}, "-6 dB", {"8D 1F 00 01 02 00 00 00 00 00 00 6C F7"}, 164, 108},
      {{"Sub", "mute", "on"}, "on", {"8D 1F 00 09 06 00 00 00 00 00 00 01 F7"}, 504, 64},
      {{"In2R", "gate.bypass", "off"}, "off", {"8D 1F 00 1A 03 00 00 00 00 02 05 06 F7"}, 240, 0},
      {{"In1R", "comp.makeup", "3"}, "3 dB", {"8D 1F 00 07 01 00 96 14 00 0A 00 06 F7"}, 93, 6},
      {{"Sub", "lim.attack", "10"}, "10 ms", {"8D 1F 00 07 06 00 00 00 00 96 14 09 F7"}, 426, 9},
      {{"In1R", "eq.2.type", "notch"}, "Notch", {"8D 1F 00 05 01 01 00 05 00 50 09 1E F7"}, 99, 5},
      {{"Left", "eq.bypass", "on"}, "on", {"8D 1F 00 06 04 00 00 00 00 00 00 01 F7"}, 507, 111},
      {{"Right", "hp.freq", "100"}, "100 Hz", {"8D 1F 00 04 05 00 00 00 00 00 64 00 F7"}, 380, 100},
      {{"Sub", "mix.In2L.level", "-6"},
       "-6 dB",
       {"8D 1F 00 08 06 00 00 00 98 98 18 1E F7"},
       418,
       24},
      {{"Sub", "mix.3.on", "on"}, "on", {"8D 1F 00 08 06 00 00 00 98 98 9E 1E F7"}, 418, 158},
      {{"In1L", "route.2.on", "on"}, "on", {"8D 1F 00 1C 00 00 00 00 9E 9E 1E 1E F7"}},
      {{"In2R", "route.1.level", "-40"}, "-30 dB", {"8D 1F 00 1C 03 00 00 00 00 1E 1E 9E F7"}},
      {{"Sub", "drive", "100V"},
       "16 Ohm - 100V",
       {"8D 1F 00 19 00 00 00 00 00 00 00 05 F7"},
       503,
       5},
      {{"device", "input.digital", "optical"},
       "Optical",
       {"8D 1F 00 24 00 00 00 00 00 00 00 01 F7"}},
      {{"device", "noise.enable", "on"}, "on", {"8D 1F 00 1D 00 00 00 00 00 01 00 00 F7"}},
      {{"In2R", "link", "on"}, "on", {"8D 1F 00 36 00 00 00 00 00 00 00 08 F7"}, 510, 8},
  };
  for (const SetCase& c : cases) Check(c);
}

TEST_F(CliSetTest, PickingTheSameBandTypeSendsNothing) {
  StartDevice(0);
  const CliRun run = RunTcp(2, {"--trace", "--json", "set", "InL", "eq.1.type", "Bell"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_TRUE(run.EditPackets().isEmpty());
  EXPECT_FALSE(run.Json().object()["sent"].toBool());
}

TEST_F(CliSetTest, LinkedInputsFollowAnEditOnFamilyA) {
  StartDevice(0);
  ASSERT_EQ(RunTcp(2, {"set", "InL", "link", "on"}).exit_code, 0);
  const CliRun run = RunTcp(2, {"--trace", "set", "InR", "gain", "-6"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.EditPackets(), QStringList({"8D 1F 00 01 01 00 00 00 00 00 00 6C F7",
                                            "8D 1F 00 01 00 00 00 00 00 00 00 6C F7"}));
  EXPECT_EQ(run.OutLines(), QStringList({"InR gain -6 dB (linked: InL)"}));
  EXPECT_EQ(static_cast<uint8_t>(device_->Image().at(4)), 108);
  EXPECT_EQ(static_cast<uint8_t>(device_->Image().at(84)), 108);
}

TEST_F(CliSetTest, LinkedOutputsAndInputsFollowOnFamilyB) {
  StartDevice(3);
  ASSERT_EQ(RunTcp(2, {"set", "In1L", "link", "on"}).exit_code, 0);
  ASSERT_EQ(RunTcp(2, {"set", "In2L", "link", "on"}).exit_code, 0);
  const CliRun run = RunTcp(2, {"--trace", "--json", "set", "In2L", "eq.6.gain", "4"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.EditPackets(), QStringList({"8D 1F 00 05 02 05 00 00 03 20 09 26 F7",
                                            "8D 1F 00 05 00 05 00 00 03 20 09 26 F7"}));
  EXPECT_EQ(run.Json().object()["linked"].toArray(), QJsonArray({"In1L"}));
  // A channel outside the link is not touched.
  const CliRun alone = RunTcp(2, {"--trace", "set", "In1R", "eq.6.gain", "4"});
  EXPECT_EQ(alone.EditPackets().size(), 1);
}

TEST_F(CliSetTest, OverPseudoTerminal) {
  const int index = StartPty(2, 5);
  const CliRun run = Run({"--com", "5", "--trace", "set", "Right", "gain", "-60.2"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.EditPackets(), QStringList({"8D 1F 00 01 03 00 00 00 00 00 00 00 F7"}));
  EXPECT_EQ(static_cast<uint8_t>(Device(index)->Image().at(209)), 0);
}

TEST_F(CliSetTest, UsageErrorsSendNothing) {
  StartDevice(3);
  const std::vector<QStringList> cases = {{"Foo", "gain", "1"},
                                          {"7", "gain", "1"},
                                          {"In1L", "gain", "loud"},
                                          {"In1L", "volume", "1"},
                                          {"Sub", "source", "R"},
                                          {"Left", "gate.threshold", "-70"},
                                          {"In1L", "lim.threshold", "0"},
                                          {"In1L", "eq.13.gain", "1"},
                                          {"Left", "eq.6.gain", "1"},
                                          {"Sub", "mix.In3L.on", "on"},
                                          {"In1L", "route.5.on", "on"},
                                          {"In1L", "mute", "maybe"},
                                          {"device", "gain", "1"},
                                          {"In1L", "standby", "on"},
                                          {"device", "input.source", "noise"},
                                          {"Left", "hp.slope", "-30dB/oct"},
                                          {"In1L", "gain"}};
  for (const QStringList& args : cases) {
    const CliRun run = RunTcp(2, QStringList{"--trace", "set"} + args);
    EXPECT_EQ(run.exit_code, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(run.EditPackets().isEmpty()) << args.join(' ').toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.ErrLines().size() - run.Sent().size() - run.Received().size(), 1)
        << run.err.toStdString();
  }
  EXPECT_EQ(device_->Image(), image_);
}

TEST_F(CliSetTest, UnansweredEditIsExitOne) {
  StartDevice(0);
  // Probe, identify, name and the read-out answer; the edit does not.
  const CliRun count = RunTcp(2, {"--trace", "set", "InL", "gain", "0"});
  ASSERT_EQ(count.exit_code, 0);
  const int answered = static_cast<int>(count.Sent().size()) - 2;  // all but the edit, release
  sim::SimFaults faults;
  faults.silent_after = answered;
  device_->SetFaults(faults);
  const CliRun run = RunTcp(2, {"set", "InL", "gain", "1"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.ErrLines().size(), 1) << run.err.toStdString();
}

TEST_F(CliSetTest, RefusedEditIsExitOne) {
  StartDevice(0);
  // The coaxial/optical choice is refused while the analog input is the source.
  const CliRun run = RunTcp(2, {"--trace", "set", "device", "input.digital", "optical"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.EditPackets().isEmpty());
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
  EXPECT_EQ(static_cast<uint8_t>(device_->Image().at(28)), 30);
  const CliRun refused = RunTcp(2, {"set", "InL", "eq.flat", "no"});
  EXPECT_EQ(refused.exit_code, 2);
}

}  // namespace
}  // namespace tessaly::test
