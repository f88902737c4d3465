#include <QFile>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

// Commands of the packets that read, identify, probe or let go: everything else is an edit.
bool IsEdit(uint8_t command) {
  static const QList<uint8_t> kOther = {0x00, 0x0F, 0x1F, 0x22, 0x5D, 0x5F, 0x77, 0x7F};
  return !kOther.contains(command);
}

int EditPacketsReceived(const sim::SimDevice& device) {
  int edits = 0;
  for (const uint8_t command : device.ReceivedCommands()) edits += IsEdit(command) ? 1 : 0;
  return edits;
}

struct PushCase {
  const char* name;
  int type;
  // A batch that moves the device away from the preset saved before it ran.
  const char* changes;
  // The file pushed: the saved preset, or one of the other family or a project.
  enum { kSaved, kOtherFamily, kProject, kNone } file;
  int exit_code;
  int edit_packets;
};

void PrintTo(const PushCase& c, std::ostream* os) { *os << c.name; }

class CliPushTest : public CliFixture, public ::testing::WithParamInterface<PushCase> {};

// The device is brought back to a preset saved from it, with no more packets than differences
// (a band's fields travel together), and a file it cannot take sends nothing.
TEST_P(CliPushTest, SendsOnlyWhatDiffers) {
  const PushCase& c = GetParam();
  constexpr int kOctet = 160;
  const auto device = Device(StartTcp(c.type, kOctet));
  const QString saved =
      dir().filePath(c.type == 3 ? QStringLiteral("venue.54s") : QStringLiteral("venue.540"));
  ASSERT_EQ(RunTcp(kOctet, {"preset", "save", saved}).exit_code, 0);
  const CliRun changed =
      Run({"--tcp", QStringLiteral("127.0.0.%1").arg(kOctet), "batch", "-"}, c.changes);
  ASSERT_EQ(changed.exit_code, 0) << changed.err.toStdString();

  QString file = saved;
  if (c.file == PushCase::kOtherFamily) {
    file = dir().filePath(c.type == 3 ? QStringLiteral("other.540") : QStringLiteral("other.54s"));
    QFile other(file);
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QByteArray(c.type == 3 ? 1203 : 1363, '\0'));
  } else if (c.file == PushCase::kProject) {
    file = dir().filePath(c.type == 3 ? QStringLiteral("venue.pjs") : QStringLiteral("venue.pj5"));
    ASSERT_EQ(RunTcp(kOctet, {"project", "save", file}).exit_code, 0);
  }
  const QByteArray before = device->Image();
  device->ClearReceived();
  const CliRun push =
      RunTcp(kOctet, c.file == PushCase::kNone ? QStringList{"push"} : QStringList{"push", file});
  EXPECT_EQ(push.exit_code, c.exit_code) << push.err.toStdString();
  EXPECT_EQ(EditPacketsReceived(*device), c.edit_packets);
  if (c.exit_code == 0) {
    EXPECT_EQ(RunTcp(kOctet, {"diff", saved, "device"}).exit_code, 0);
  } else {
    EXPECT_EQ(device->Image(), before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CliPushTest,
    ::testing::Values(
        PushCase{"EqualFile", 0, "", PushCase::kSaved, 0, 0},
        PushCase{"GainBandGainOtherMute", 0,
                 "set InL gain -6\nset InR eq.3.gain 4\nset Left mute on\n", PushCase::kSaved, 0,
                 3},
        PushCase{"WholeBandOnePacket", 3,
                 "set In2R eq.5.type LoShQ\nset In2R eq.5.freq 793\nset In2R eq.5.gain -4\n"
                 "set In2R eq.5.q 3\n",
                 PushCase::kSaved, 0, 1},
        PushCase{"OtherFamily", 3, "set Sub gain -3\n", PushCase::kOtherFamily, 1, 0},
        PushCase{"Project", 0, "set Sub gain -3\n", PushCase::kProject, 1, 0},
        PushCase{"NoFile", 0, "", PushCase::kNone, 2, 0}),
    [](const ::testing::TestParamInfo<PushCase>& info) { return std::string(info.param.name); });

class CliPushFaultTest : public CliFixture {};

// A device that stops answering part-way fails the push, naming what it did not take.
TEST_F(CliPushFaultTest, DeviceThatStopsAnswering) {
  constexpr int kOctet = 161;
  qputenv("TESSALY_TIME_SCALE", "0.05");
  const auto device = Device(StartTcp(0, kOctet));
  const QString saved = dir().filePath(QStringLiteral("venue.540"));
  ASSERT_EQ(RunTcp(kOctet, {"preset", "save", saved}).exit_code, 0);
  // A push of an equal file: link and identify, a read-out, and the read-back, which begins
  // with the second run of image reads. Everything before it comes before a push's first edit.
  device->ClearReceived();
  ASSERT_EQ(RunTcp(kOctet, {"push", saved}).exit_code, 0);
  const QList<uint8_t> equal = device->ReceivedCommands();
  int before_edits = -1;
  for (int i = equal.indexOf(0x5D) + 1, runs = 1; i < equal.size() && before_edits < 0; ++i) {
    if (equal[i] == 0x5D && equal[i - 1] != 0x5D && ++runs == 2) before_edits = i;
  }
  ASSERT_GT(before_edits, 0);
  ASSERT_EQ(RunTcp(kOctet, {"set", "InR", "gain", "-6"}).exit_code, 0);
  device->SetSilentAfter(before_edits);
  const CliRun push = RunTcp(kOctet, {"push", saved});
  EXPECT_EQ(push.exit_code, 1);
  EXPECT_TRUE(push.err.contains(QStringLiteral("InR Gain"))) << push.err.toStdString();
}

}  // namespace
}  // namespace tessaly::test
