#include <QFile>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

constexpr int kSettingsRead = 48;
constexpr int kRoutingAddress = 608;
constexpr int kSleepAddress = 480;
constexpr int kSleepBytes = 15;

using CliReadoutTest = CliFixture;

// The read-out must hold exactly what the device's memories hold.
void ExpectEqualsDevice(const QJsonObject& readout, const sim::SimDevice& device) {
  EXPECT_EQ(readout["image"].toString(), HexBlock(device.Image()));
  EXPECT_EQ(readout["settings"].toString(), HexBlock(device.Settings().left(kSettingsRead)));
  EXPECT_EQ(readout["sleep_table"].toString(),
            HexBlock(device.Settings().mid(kSleepAddress, kSleepBytes)));
  if (device.family_b()) {
    EXPECT_EQ(readout["routing"].toString(), HexBlock(device.Settings().mid(kRoutingAddress, 16)));
  } else {
    EXPECT_TRUE(readout["routing"].isNull());
  }
  const QJsonArray programs = readout["programs"].toArray();
  ASSERT_EQ(programs.size(), device.program_count());
  for (int p = 0; p < programs.size(); ++p) {
    const QJsonObject program = programs[p].toObject();
    EXPECT_EQ(program["number"].toInt(), p);
    EXPECT_EQ(program["status"].toInt(), device.ProgramStatus(p));
    EXPECT_EQ(program["stored"].toBool(), device.ProgramStatus(p) == p);
    const QString name =
        program["stored"].toBool() ? device.ProgramName(p).trimmed() : QString("Program Empty");
    EXPECT_EQ(program["name"].toString(), name);
  }
}

TEST_F(CliReadoutTest, FamilyAOverPseudoTerminalEqualsTheDevicesMemory) {
  auto device = Device(Start({.type = 0,
                              .name = QStringLiteral("Front fill"),
                              .link = sim::SimLinkKind::kPty,
                              .pty_link = dir().filePath(QStringLiteral("COM4")),
                              .programs = 3}));
  QByteArray image = device->Image();
  image[84] = static_cast<char>(100);  // some gain the defaults do not have
  image[350] = static_cast<char>(25);
  ASSERT_TRUE(device->SetImage(image));
  device->SetIpAddress({10, 1, 2, 3});
  device->WriteSettings(kSleepAddress, QByteArray::fromHex("0102030405060708090A0B0C0D0E0F"));
  device->SetVersions({{1, 1, 3}, {2, 0, 7}});

  const CliRun run = Run({"--com", "4", "readout"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QJsonObject readout = run.Json().object();
  ExpectEqualsDevice(readout, *device);
  EXPECT_TRUE(readout["address"].isNull());
  EXPECT_EQ(readout["name"].toString(), "Front fill");
  EXPECT_EQ(readout["type"].toInt(), 0);
  EXPECT_EQ(readout["ip"].toString(), "10.1.2.3");
  EXPECT_EQ(readout["firmware"].toString(), "1.1.3");
  EXPECT_EQ(readout["second_version"].toString(), "2.0.7");
  EXPECT_EQ(readout["programs"].toArray()[2].toObject()["name"].toString(), "Preset 03");
}

TEST_F(CliReadoutTest, FamilyBEqualsTheDevicesMemoryAndWritesAFile) {
  auto device = Device(StartTcp(3, 2, QStringLiteral("Main PA"), 1));
  device->WriteSettings(kRoutingAddress, QByteArray::fromHex("9E1E1E1E1E9E1E1E1E1E9E1E1E1E1E9E"));
  const QString file = dir().filePath(QStringLiteral("main.json"));
  const CliRun run = RunTcp(2, {"readout", "--out", file});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.isEmpty());
  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QJsonObject readout = QJsonDocument::fromJson(written.readAll()).object();
  ExpectEqualsDevice(readout, *device);
  EXPECT_EQ(readout["model"].toString(), "540S");
  EXPECT_EQ(readout["firmware"].toString(), "1.1.5-B");
  EXPECT_EQ(RunTcp(2, {"readout", "--out", dir().filePath("no/such/dir/x.json")}).exit_code, 1);
}

TEST_F(CliReadoutTest, DeviceFallingSilentStopsTheReadout) {
  // Probe, identify, name and the eleven image blocks; the versions read goes unanswered.
  StartTcp(0, 2, {}, 0, {.silent_after = 14});
  const CliRun run = RunTcp(2, {"readout"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_EQ(run.ErrLines().size(), 1);
  EXPECT_TRUE(run.err.contains("versions")) << run.err.toStdString();
  EXPECT_EQ(RunTcp(2, {"readout", "--file", "x"}).exit_code, 2);
}

}  // namespace
}  // namespace tessaly::test
