#include <cmath>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

constexpr int kPoints = 1584;

using CliCurveTest = CliFixture;

// Level of the "f level" line at frequency `hz` (its first occurrence).
double LevelAt(const QStringList& lines, int hz, const QString& separator) {
  for (const QString& line : lines) {
    const QStringList parts = line.split(separator);
    if (parts.size() == 2 && parts[0].toInt() == hz) return parts[1].toDouble();
  }
  ADD_FAILURE() << "no point at " << hz << " Hz";
  return NAN;
}

TEST_F(CliCurveTest, EditedBellBandShowsInTheChannelCurve) {
  StartTcp(0, 2);
  ASSERT_EQ(RunTcp(2, {"set", "Left", "eq.1.gain", "12"}).exit_code, 0);
  const CliRun run = RunTcp(2, {"curve", "Left"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QStringList lines = run.OutLines();
  ASSERT_EQ(lines.size(), kPoints);
  EXPECT_TRUE(lines.front().startsWith("20 "));
  EXPECT_TRUE(lines.back().startsWith("20000 "));
  // The band sits at 125 Hz; its shape is the response curves' business.
  EXPECT_NEAR(LevelAt(lines, 125, " "), 12.0, 1e-4);
  // The other outputs stay flat.
  const CliRun right = RunTcp(2, {"curve", "Right"});
  EXPECT_NEAR(LevelAt(right.OutLines(), 125, " "), 0.0, 1e-9);
  // A family B channel or none is a usage error.
  EXPECT_EQ(RunTcp(2, {"curve", "In1L"}).exit_code, 2);
  EXPECT_EQ(RunTcp(2, {"curve"}).exit_code, 2);
}

TEST_F(CliCurveTest, CrossoverOnFamilyBAsCsvAndJson) {
  StartTcp(3, 2);
  ASSERT_EQ(RunTcp(2, {"set", "Right", "hp.freq", "1000"}).exit_code, 0);
  ASSERT_EQ(RunTcp(2, {"set", "Right", "hp.slope", "-12dB/oct BW"}).exit_code, 0);
  const CliRun csv = RunTcp(2, {"curve", "Right", "--csv"});
  ASSERT_EQ(csv.exit_code, 0) << csv.err.toStdString();
  QStringList lines = csv.OutLines();
  ASSERT_EQ(lines.size(), kPoints + 1);
  EXPECT_EQ(lines.takeFirst(), "frequency_hz,level_db");
  EXPECT_NEAR(LevelAt(lines, 1000, ","), -3.0103, 1e-3);
  EXPECT_LT(LevelAt(lines, 100, ","), -39.0);

  const CliRun json = RunTcp(2, {"--json", "curve", "5"});
  ASSERT_EQ(json.exit_code, 0);
  const QJsonObject object = json.Json().object();
  EXPECT_EQ(object["channel"].toString(), "Right");
  const QJsonArray points = object["points"].toArray();
  ASSERT_EQ(points.size(), kPoints);
  EXPECT_EQ(points[480].toArray()[0].toInt(), 500);
}

using CliSendTest = CliFixture;

TEST_F(CliSendTest, RawExchangePrintsTheReply) {
  StartTcp(3, 2, QStringLiteral("Main PA"));
  const CliRun run = RunTcp(2, {"--type", "3", "--trace", "send", "95", "0", "0", "0x10"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QStringList reply = run.OutLines();
  ASSERT_EQ(reply.size(), 1);
  EXPECT_EQ(reply[0].split(' ').size(), 21);
  EXPECT_TRUE(reply[0].startsWith("95 1F 00 5F 4D 61 69 6E 20 50 41")) << reply[0].toStdString();
  EXPECT_TRUE(run.Sent().contains("8D 1F 00 5F 00 00 10 00 00 00 00 00 F7"));

  const CliRun json = RunTcp(2, {"--json", "send", "1", "1", "0", "0", "0", "0", "0", "0", "100"});
  ASSERT_EQ(json.exit_code, 0);
  EXPECT_EQ(json.Json().object()["reply"].toString().split(' ').size(), 13);
}

TEST_F(CliSendTest, UsageErrorsAndMissingDevice) {
  EXPECT_EQ(Run({"--tcp", "127.0.0.2", "send", "58"}).exit_code, 1);
  for (const QStringList& args :
       {QStringList{"--tcp", "127.0.0.2", "send", "300"},
        QStringList{"--tcp", "127.0.0.2", "send", "92", "0", "0", "4"},
        QStringList{"--tcp", "127.0.0.2", "send", "1", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
        QStringList{"send", "58"}, QStringList{}, QStringList{"--tcp", "127.0.0.300", "identify"},
        QStringList{"--tcp", "127.0.0.2", "--com", "3", "identify"},
        QStringList{"--com", "0", "identify"}, QStringList{"--type", "4", "identify"},
        QStringList{"--verbose", "identify"}, QStringList{"frobnicate"},
        QStringList{"identify", "now"}}) {
    const CliRun run = Run(args);
    EXPECT_EQ(run.exit_code, 2) << args.join(' ').toStdString();
    EXPECT_EQ(run.ErrLines().size(), 1) << run.err.toStdString();
  }
  const CliRun help = Run({"help", "set"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(help.out.contains("eq.N.freq"));
  EXPECT_TRUE(Run({"--help"}).out.contains("Exit status"));
}

}  // namespace
}  // namespace tessaly::test
