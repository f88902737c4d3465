#include "CliHarness.h"

namespace tessaly::test {
namespace {

using CliMetersTest = CliFixture;

// One 540S poll: level byte 127 at point 1 of channel In1R, 64 at point 2 of Sub; clip and limit
// on In1R; standby; words 32767, 16384, 0, then 32767.
const char* kPayloadB =
    "00 00 00 00 00 00 00  00 7F 00 00 00 00 00  00 00 00 00 00 00 40  22 02 00"
    "  7F FF 40 00 00 00 7F FF 7F FF 7F FF  00";

TEST_F(CliMetersTest, OnePollAsJsonAndAsText) {
  const int b = StartTcp(3, 2);
  Device(b)->SetMeterPayload(QByteArray::fromHex(QByteArray(kPayloadB).replace(' ', "")));
  const CliRun json = RunTcp(2, {"meters", "--json"});
  ASSERT_EQ(json.exit_code, 0) << json.err.toStdString();
  const QString silent = R"({"level_db": -60, "leds": 0})";
  const auto channel = [&](const char* name, const QString& p1, const QString& p2, bool flags,
                           const char* reduction) {
    return QStringLiteral(R"({"name": "%1", "points": [%2, %3, %4], "clip": %5, "limit": %5, )"
                          R"("gain_reduction_db": %6})")
        .arg(QLatin1String(name), silent, p1, p2, flags ? "true" : "false",
             QLatin1String(reduction));
  };
  const QStringList channels = {
      channel("In1L", silent, silent, false, "0"),
      channel("In1R", R"({"level_db": 10.6, "leds": 9})", silent, true, "-6.02"),
      channel("In2L", silent, silent, false, "-90.309"),
      channel("In2R", silent, silent, false, "0"),
      channel("Left", silent, silent, false, "0"),
      channel("Right", silent, silent, false, "0"),
      channel("Sub", silent, R"({"level_db": 4.648, "leds": 7})", false, "null"),
  };
  EXPECT_EQ(json.out.trimmed().toStdString(),
            QStringLiteral(R"({"channels": [%1], "standby": true, "sleep": false})")
                .arg(channels.join(QStringLiteral(", ")))
                .toStdString());

  const CliRun text = RunTcp(2, {"meters"});
  ASSERT_EQ(text.exit_code, 0);
  ASSERT_EQ(text.OutLines().size(), 8);
  EXPECT_EQ(text.OutLines()[1].toStdString(),
            "In1R   -60.0 dB 0 |  10.6 dB 9 | -60.0 dB 0  clip yes  limit yes  gain reduction "
            "-6.0 dB");
  EXPECT_EQ(text.OutLines()[7].toStdString(), "standby yes  sleep no");
}

TEST_F(CliMetersTest, WatchPollsAgainAndFailuresSaySo) {
  const int a = StartTcp(0, 2);
  StartTcp(1, 3, {}, 0, {.silent = true});
  qputenv("TESSALY_TIME_SCALE", "0.05");  // the silent device's waits
  const CliRun watch = RunTcp(2, {"meters", "--json", "--watch", "30", "--count", "3"});
  ASSERT_EQ(watch.exit_code, 0) << watch.err.toStdString();
  EXPECT_EQ(watch.OutLines().size(), 3);
  EXPECT_EQ(Device(a)->ReceivedCommands().count(57), 3);

  EXPECT_EQ(RunTcp(3, {"--type", "1", "meters"}).exit_code, 1);
  for (const QStringList& args :
       {QStringList{"meters", "--watch", "0"}, QStringList{"meters", "--bogus"}}) {
    EXPECT_EQ(RunTcp(2, args).exit_code, 2) << args.join(' ').toStdString();
  }
}

}  // namespace
}  // namespace tessaly::test
