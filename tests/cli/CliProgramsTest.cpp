#include <QDir>
#include <QFile>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

class CliProgramsTest : public CliFixture {
 protected:
  QString File(const QString& name) const { return dir().filePath(name); }
};

TEST_F(CliProgramsTest, ListStoreRecallCopy) {
  auto device = Device(StartTcp(0, 2, {}, 2));
  EXPECT_EQ(RunTcp(2, {"programs"}).OutLines().mid(0, 3),
            (QStringList{"01\tstored\tPreset 01       ", "02\tstored\tPreset 02       ",
                         "03\tempty\tProgram Empty   "}));
  EXPECT_EQ(RunTcp(2, {"store", "64", "A"}).exit_code, 0);
  EXPECT_EQ(device->ProgramName(63), QStringLiteral("A               "));
  EXPECT_EQ(RunTcp(2, {"store", "65", "A"}).exit_code, 2);
  const CliRun empty = RunTcp(2, {"recall", "5"});
  EXPECT_EQ(empty.exit_code, 1);
  EXPECT_TRUE(empty.err.trimmed().endsWith(QStringLiteral(": Program empty")));
  EXPECT_EQ(RunTcp(2, {"recall", "2"}).exit_code, 0);
  EXPECT_EQ(device->Image().mid(320, 9), QByteArray("Preset 02"));
  // The program each recall ran is kept where `paths` says backups go.
  const QString backups = Run({"paths"}).OutLines().value(2).section('\t', 1);
  EXPECT_EQ(backups, File(QStringLiteral("backups")));
  EXPECT_EQ(QDir(backups).entryList({QStringLiteral("edit-buffer-*.540")}).size(), 2);
  const CliRun copy = RunTcp(2, {"--trace", "copy", "Left", "Sub"});
  EXPECT_TRUE(copy.Sent().contains(QStringLiteral("8D 1F 00 37 00 00 00 00 00 00 02 04 F7")))
      << copy.err.toStdString();
  EXPECT_EQ(RunTcp(2, {"copy", "InL", "Sub"}).exit_code, 2);
}

// No backup can be written (a file holds the folder's name, which stops root too): each command
// that overwrites the device refuses and sends nothing, unless told --no-backup.
TEST_F(CliProgramsTest, UnwritableBackupsRefuseUnlessNoBackup) {
  auto device = Device(StartTcp(3, 2, {}, 3));
  const QString preset = File(QStringLiteral("venue.54s"));
  const QString project = File(QStringLiteral("venue.pjs"));
  ASSERT_EQ(RunTcp(2, {"preset", "save", preset}).exit_code, 0);
  ASSERT_EQ(RunTcp(2, {"project", "save", project}).exit_code, 0);
  QFile blocker(File(QStringLiteral("backups")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  const QStringList commands[] = {
      {"recall", "2"}, {"preset", "load", preset}, {"project", "store", project}};
  for (const QStringList& command : commands) {
    const CliRun refused = RunTcp(2, QStringList{"--trace"} + command);
    EXPECT_EQ(refused.exit_code, 1) << command.join(' ').toStdString();
    EXPECT_TRUE(refused.err.contains(" could not be kept in " + blocker.fileName() + ": "))
        << refused.err.toStdString();
    EXPECT_EQ(refused.EditPackets(), QStringList{}) << command.join(' ').toStdString();
    const CliRun forced = RunTcp(2, command + QStringList{"--no-backup"});
    EXPECT_EQ(forced.exit_code, 0) << forced.err.toStdString();
  }
}

TEST_F(CliProgramsTest, PathsSayWhereEachFileGoes) {
  EXPECT_EQ(Run({"paths"}).OutLines(),
            (QStringList{"init.cfg\t" + File(QStringLiteral("init.cfg")),
                         "presets and projects\t" + dir().path(),
                         "backups\t" + File(QStringLiteral("backups"))}));
  EXPECT_EQ(Run({"paths", "now"}).exit_code, 2);
}

// Files: save, show and diff offline, refusals send nothing, project round trip.
TEST_F(CliProgramsTest, PresetAndProjectFiles) {
  auto device = Device(StartTcp(3, 2, {}, 3));
  const QString preset = File(QStringLiteral("venue.54s"));
  ASSERT_EQ(RunTcp(2, {"preset", "save", preset}).exit_code, 0);
  EXPECT_EQ(QFile(preset).size(), 1363);
  const QStringList shown = Run({"preset", "show", preset}).OutLines();
  EXPECT_TRUE(shown.contains(QStringLiteral("In1L Gain: 0 dB"))) << shown.join('\n').toStdString();
  EXPECT_EQ(Run({"diff", preset, preset}).exit_code, 0);
  QFile file(preset);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  file.seek(4);
  file.write(QByteArray(1, char(100)));
  file.close();
  EXPECT_EQ(Run({"--type", "3", "diff", preset, "device"}).exit_code, 3);  // no device named
  EXPECT_EQ(RunTcp(2, {"diff", preset, "device"}).OutLines().size(), 1);
  EXPECT_EQ(Run({"diff", preset, File("none.54s")}).exit_code, 3);

  const QString other = File(QStringLiteral("a.54s"));
  ASSERT_TRUE(QFile(other).open(QIODevice::WriteOnly) && QFile(other).resize(1203));
  const CliRun refused = RunTcp(2, {"--trace", "preset", "load", other});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.EditPackets(), QStringList{});
  ASSERT_EQ(RunTcp(2, {"preset", "load", preset, "--verify"}).exit_code, 0);
  EXPECT_EQ(uint8_t(device->Image().at(4)), 100);

  const QString project = File(QStringLiteral("venue.pjs"));
  ASSERT_EQ(RunTcp(2, {"project", "save", project}).exit_code, 0);
  const CliRun stored = RunTcp(2, {"project", "store", project});
  EXPECT_EQ(stored.exit_code, 0) << stored.err.toStdString();
  EXPECT_EQ(RunTcp(2, {"diff", project, "device"}).exit_code, 0);
  EXPECT_EQ(RunTcp(2, {"project", "store", preset}).exit_code, 1);
}

}  // namespace
}  // namespace tessaly::test
