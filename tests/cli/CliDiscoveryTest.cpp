#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include "CliHarness.h"

namespace tessaly::test {
namespace {

constexpr const char* kProbeA = "8D 1F 00 77 00 00 00 00 00 00 00 00 F7";
constexpr const char* kProbeB = "8D 1F 00 7F 00 00 00 00 00 00 00 00 F7";
constexpr const char* kIdentifyTcp = "8D 1F 00 00 00 00 00 00 00 00 00 01 F7";
constexpr const char* kIdentifyUsb = "8D 1F 00 00 00 00 00 00 00 00 00 00 F7";
constexpr const char* kNameRead = "8D 1F 00 5F 00 00 10 00 00 00 00 00 F7";

using CliDiscoveryTest = CliFixture;

TEST_F(CliDiscoveryTest, ScanGivesConsecutiveSlotsAndSkipsGaps) {
  StartTcp(3, 2, QStringLiteral("Main PA"));
  StartTcp(0, 3);
  StartTcp(0, 4, {}, 0, {.silent = true});  // its slot goes to the next address
  StartTcp(2, 5, QStringLiteral("Rack 5"));
  const CliRun run = Run({"--trace", "scan", "127.0.0.2", "127.0.0.7"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  // Probe, identify and name read of each device; the silent one is probed twice.
  EXPECT_EQ(run.Sent().count(kProbeA), 5);
  EXPECT_EQ(run.Sent().mid(0, 3), QStringList({kProbeA, kIdentifyTcp, kNameRead}));
  EXPECT_EQ(run.OutLines(),
            QStringList({"0\t127.0.0.2\t3\t540S\tMain PA", "1\t127.0.0.3\t0\tRK-540\tRK-540",
                         "2\t127.0.0.5\t2\tRL-4800\tRack 5"}));
  const QJsonArray list = Run({"--json", "scan", "127.0.0.2", "127.0.0.4"}).Json().array();
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list[1].toObject(), (QJsonObject{{"slot", 1},
                                             {"address", "127.0.0.3"},
                                             {"type", 0},
                                             {"model", "RK-540"},
                                             {"name", "RK-540"}}));
  EXPECT_EQ(list[0].toObject()["name"].toString(), "Main PA");
}

TEST_F(CliDiscoveryTest, IdentifyEveryTypeOverTcpAndPseudoTerminal) {
  const char* const models[] = {"RK-540", "RK-360", "RL-4800", "540S"};
  for (int type = 0; type < 4; ++type) {
    SCOPED_TRACE(type);
    StartTcp(type, 2 + type, QStringLiteral("Stage left"));
    StartPty(type, 3 + type, QStringLiteral("Stage left"));
    const QStringList line = {QStringLiteral("%1\t%2\tStage left").arg(type).arg(models[type])};
    const CliRun tcp = RunTcp(2 + type, {"--trace", "identify"});
    ASSERT_EQ(tcp.exit_code, 0) << tcp.err.toStdString();
    EXPECT_EQ(tcp.OutLines(), line);
    // The network probe is the one of types 0 and 3 whatever answers it.
    EXPECT_EQ(tcp.Sent().mid(0, 3), QStringList({kProbeA, kIdentifyTcp, kNameRead}));
    EXPECT_EQ(tcp.Traced("< ").value(1).section(' ', 8, 8).toInt(nullptr, 16), type);

    const CliRun usb = Run({"--com", QString::number(3 + type), "--trace", "identify"});
    ASSERT_EQ(usb.exit_code, 0) << usb.err.toStdString();
    EXPECT_EQ(usb.OutLines(), line);
    // 57600 baud stages probe with 119, the 9600 baud ones with 127; then identify and name.
    const QStringList sent = usb.Sent();
    EXPECT_EQ(sent.value(0), kProbeA);
    EXPECT_EQ(sent.contains(kProbeB), type == 1 || type == 2);
    const qsizetype identify = sent.indexOf(kIdentifyUsb);
    ASSERT_GE(identify, 1);
    EXPECT_EQ(sent.value(identify + 1), kNameRead);
  }
}

TEST_F(CliDiscoveryTest, KnownTypeSkipsProbeAndIdentify) {
  StartTcp(2, 2);
  const CliRun run = RunTcp(2, {"--type", "2", "--trace", "--json", "identify"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.Sent().front(), kNameRead);
  const QJsonObject object = run.Json().object();
  EXPECT_EQ(object["type"].toInt(), 2);
  EXPECT_EQ(object["model"].toString(), "RL-4800");
  EXPECT_EQ(object["address"].toString(), "127.0.0.2");
  EXPECT_EQ(object["port"].toInt(), port());
  // An address with a port overrides the device port.
  EXPECT_EQ(Run({"--tcp", QStringLiteral("127.0.0.2:%1").arg(port()), "identify"}).exit_code, 0);
  EXPECT_EQ(Run({"--tcp", QStringLiteral("127.0.0.2:%1").arg(port() + 1), "identify"}).exit_code,
            1);
}

// Bad ranges are usage errors (2); no device, or a silent one, is exit status 1.
// A USB port this user may not open says so and how to fix it, with and without a probe. Root
// opens any port, so as root tessaly-cli runs as nobody.
TEST_F(CliDiscoveryTest, PortWithoutPermissionNamesTheDialoutGroup) {
  StartPty(0, 4);
  const QString pty = QFileInfo(dir().filePath(QStringLiteral("COM4"))).canonicalFilePath();
  ASSERT_EQ(::chmod(QFile::encodeName(pty).constData(), 0), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(dir().path()).constData(), 0755), 0);
  if (::geteuid() == 0) {
    set_launcher({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  }
  for (const QStringList& args : {QStringList{"--com", "4", "identify"},
                                  QStringList{"--com", "4", "--type", "0", "identify"}}) {
    const CliRun run = Run(args);
    EXPECT_EQ(run.exit_code, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("COM4 (") + dir().filePath(QStringLiteral("COM4")) +
        QStringLiteral(") could not be opened: this user may not use serial ports. Add the "
                       "user to the dialout group")))
        << run.err.toStdString();
  }
}

TEST_F(CliDiscoveryTest, BadRangesAndNoDevice) {
  StartTcp(3, 3, {}, 0, {.silent = true});
  // The exit status, then the arguments.
  const char* const cases[] = {"2 scan 127.0.0.2 127.0.1.3",
                               "2 scan 127.0.0.9 127.0.0.3",
                               "2 scan 127.0.0.2",
                               "2 scan localhost 127.0.0.3",
                               "2 --com 3 scan 127.0.0.2 127.0.0.3",
                               "1 scan 127.0.0.2 127.0.0.3",
                               "1 --tcp 127.0.0.2 identify",
                               "1 --tcp 127.0.0.3 identify",
                               "1 --com 7 identify",
                               "1 --tcp 127.0.0.2 readout",
                               "1 --tcp 127.0.0.2 set InL gain 0"};
  for (const char* line : cases) {
    const QStringList args = QString(line).split(' ');
    const CliRun run = Run(args.mid(1));
    EXPECT_EQ(run.exit_code, args[0].toInt()) << line;
    EXPECT_TRUE(run.out.isEmpty()) << line;
    EXPECT_EQ(run.ErrLines().size(), 1) << line << ": " << run.err.toStdString();
  }
}

}  // namespace
}  // namespace tessaly::test
