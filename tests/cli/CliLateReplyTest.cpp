#include <gtest/gtest.h>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

class CliLateReplyTest : public CliFixture {};

// The run's wait limits, scaled for the tool started under it.
class TimeScaleForRun {
 public:
  explicit TimeScaleForRun(const char* factor) { qputenv("TESSALY_TIME_SCALE", factor); }
  ~TimeScaleForRun() { qunsetenv("TESSALY_TIME_SCALE"); }
};

struct LateCase {
  const char* scale;    // the tool's wait limits
  int delay_ms;         // how late the device answers
  QStringList args;     // after --tcp/--com
  bool answered;        // else: refused with `refusal`
  const char* refusal;  // %1 = where the device is
};

// A device answering late on each side of every wait class: either the tool prints exactly what
// it prints for a device on time, or it refuses; it never prints an answer to another request.
// Probe 400 ms at full scale: a probe answered within its own wait or, after a wait-out of the
// first one's late answer, within the second's counts; identify and name then read their own
// answers past the late probe answer still on the line. At a tenth, short 200, default 500 and
// long 2000 ms.
TEST_F(CliLateReplyTest, EveryByteIsTheDevicesAnswerToThatRequestOrARefusal) {
  const QStringList identify = {"identify"};
  const QStringList send18 = {"--type", "3", "send", "18", "1", "2"};
  const QStringList send1 = {"--type", "3", "send", "1", "1", "0", "0", "0", "0", "0", "0", "127"};
  const QStringList read16 = {"--type", "3", "send", "93", "0", "64", "16"};
  const char* const no_probe = "The device at %1 did not answer the probe.";
  const QList<LateCase> cases = {
      {"1", 300, identify, true, ""},  {"1", 550, identify, false, no_probe},
      {"1", 900, identify, true, ""},  {"1", 1500, identify, false, no_probe},
      {"0.1", 100, send18, true, ""},  {"0.1", 350, send18, false, "%2 18."},
      {"0.1", 300, send1, true, ""},   {"0.1", 750, send1, false, "%2 1."},
      {"0.1", 1500, read16, true, ""}, {"0.1", 2600, read16, false, "%2 93."},
  };
  for (const bool serial : {false, true}) {
    // The serial search probes at each line speed in turn; the probe rows are the network's.
    const int on_time = serial ? 5 : 41;
    const int late = serial ? 6 : 42;
    const auto start = [&](int at, int delay) {
      sim::SimDeviceConfig config{.type = 3, .name = QStringLiteral("MainPA")};
      if (serial) {
        config.link = sim::SimLinkKind::kPty;
        config.pty_link = dir().filePath(QStringLiteral("COM%1").arg(at));
      } else {
        config.address = QStringLiteral("127.0.0.%1").arg(at);
        config.port = port();
      }
      config.faults.delay_ms = delay;
      return Start(config);
    };
    const auto run = [&](int at, const QStringList& args) {
      return Run((serial ? QStringList{"--com", QString::number(at)}
                         : QStringList{"--tcp", QStringLiteral("127.0.0.%1").arg(at)}) +
                 args);
    };
    const QString where = serial ? QStringLiteral("COM%1").arg(late)
                                 : QStringLiteral("127.0.0.%1:%2").arg(late).arg(port());
    start(on_time, 0);
    for (const LateCase& c : cases) {
      if (serial && c.args == identify) continue;
      SCOPED_TRACE(QStringLiteral("%1 %2 ms %3")
                       .arg(serial ? "pty" : "tcp")
                       .arg(c.delay_ms)
                       .arg(c.args.join(' '))
                       .toStdString());
      const TimeScaleForRun scale(c.scale);
      const CliRun expected = run(on_time, c.args);
      ASSERT_EQ(expected.exit_code, 0) << expected.err.toStdString();
      const int device = start(late, c.delay_ms);
      const CliRun got = run(late, c.args);
      if (c.answered) {
        EXPECT_EQ(got.exit_code, 0) << got.err.toStdString();
        EXPECT_EQ(got.out.toStdString(), expected.out.toStdString());
        EXPECT_EQ(got.err.toStdString(), "");
      } else {
        const QString refusal =
            QString::fromLatin1(c.refusal)
                .replace(QLatin1String("%2"),
                         QStringLiteral("The device at %1 did not answer command"))
                .arg(where);
        EXPECT_EQ(got.exit_code, 1);
        EXPECT_EQ(got.out.toStdString(), "");
        EXPECT_EQ(got.err.toStdString(), "tessaly-cli: " + refusal.toStdString() + "\n");
      }
      Stop(device);
    }
  }
}

}  // namespace
}  // namespace tessaly::test
