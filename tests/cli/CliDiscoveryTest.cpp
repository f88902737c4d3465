#include <QJsonArray>
#include <QJsonObject>

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
  StartTcp(2, 5, QStringLiteral("Rack 5"));
  const CliRun run = Run({"scan", "127.0.0.2", "127.0.0.7"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.OutLines(),
            QStringList({"0\t127.0.0.2\t3\t540S\tMain PA", "1\t127.0.0.3\t0\tRK-540\tRK-540",
                         "2\t127.0.0.5\t2\tRL-4800\tRack 5"}));
}

TEST_F(CliDiscoveryTest, ScanGivesASilentDevicesSlotToTheNextAddress) {
  sim::SimDeviceConfig silent;
  silent.type = 0;
  silent.address = QStringLiteral("127.0.0.2");
  silent.port = port();
  silent.faults.silent = true;
  Start(silent);
  StartTcp(1, 4, QStringLiteral("Hall"));
  const CliRun run = Run({"--trace", "scan", "127.0.0.2", "127.0.0.4"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.OutLines(), QStringList({"0\t127.0.0.4\t1\tRK-360\tHall"}));
  // Two probes to the silent device, then probe, identify and name read of the RK-360.
  const QStringList sent = run.Sent();
  ASSERT_GE(sent.size(), 5);
  EXPECT_EQ(sent.mid(0, 5), QStringList({kProbeA, kProbeA, kProbeA, kIdentifyTcp, kNameRead}));
}

TEST_F(CliDiscoveryTest, ScanJsonListsEveryDevice) {
  StartTcp(3, 2, QStringLiteral("Main PA"));
  StartTcp(0, 4);
  const CliRun run = Run({"--json", "scan", "127.0.0.2", "127.0.0.4"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  const QJsonArray list = run.Json().array();
  ASSERT_EQ(list.size(), 2);
  const QJsonObject second = list[1].toObject();
  EXPECT_EQ(second["slot"].toInt(), 1);
  EXPECT_EQ(second["address"].toString(), "127.0.0.4");
  EXPECT_EQ(second["type"].toInt(), 0);
  EXPECT_EQ(second["model"].toString(), "RK-540");
  EXPECT_EQ(list[0].toObject()["name"].toString(), "Main PA");
}

TEST_F(CliDiscoveryTest, ScanWithoutDevicesFails) {
  const CliRun run = Run({"scan", "127.0.0.2", "127.0.0.3"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_EQ(run.ErrLines().size(), 1);
}

TEST_F(CliDiscoveryTest, ScanRefusesBadRanges) {
  for (const QStringList& args :
       {QStringList{"scan", "127.0.0.2", "127.0.1.3"},
        QStringList{"scan", "127.0.0.9", "127.0.0.3"}, QStringList{"scan", "127.0.0.2"},
        QStringList{"scan", "localhost", "127.0.0.3"},
        QStringList{"--com", "3", "scan", "127.0.0.2", "127.0.0.3"}}) {
    const CliRun run = Run(args);
    EXPECT_EQ(run.exit_code, 2) << args.join(' ').toStdString();
    EXPECT_EQ(run.ErrLines().size(), 1) << run.err.toStdString();
  }
}

struct IdentifyCase {
  int type;
  const char* line;
};

class CliIdentifyTest : public CliFixture, public ::testing::WithParamInterface<IdentifyCase> {};

TEST_P(CliIdentifyTest, OverTcp) {
  StartTcp(GetParam().type, 2, QStringLiteral("Stage left"));
  const CliRun run = RunTcp(2, {"--trace", "identify"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.OutLines(), QStringList({GetParam().line}));
  const QStringList sent = run.Sent();
  ASSERT_GE(sent.size(), 3);
  // The network probe is the one of types 0 and 3 whatever answers it.
  EXPECT_EQ(sent.mid(0, 3), QStringList({kProbeA, kIdentifyTcp, kNameRead}));
  EXPECT_EQ(run.Received()[1].split(' ')[8].toInt(nullptr, 16), GetParam().type);
}

TEST_P(CliIdentifyTest, OverPseudoTerminal) {
  StartPty(GetParam().type, 3, QStringLiteral("Stage left"));
  const CliRun run = Run({"--com", "3", "--trace", "identify"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.OutLines(), QStringList({GetParam().line}));
  const QStringList sent = run.Sent();
  // 57600 baud stages probe with 119, the 9600 baud ones with 127; then identify and name.
  ASSERT_GE(sent.size(), 3);
  const bool fast = GetParam().type == 0 || GetParam().type == 3;
  EXPECT_EQ(sent.front(), kProbeA);
  EXPECT_EQ(sent.contains(kProbeB), !fast);
  const int identify = static_cast<int>(sent.indexOf(kIdentifyUsb));
  ASSERT_GE(identify, 1);
  EXPECT_EQ(sent[identify + 1], kNameRead);
}

INSTANTIATE_TEST_SUITE_P(EveryType, CliIdentifyTest,
                         ::testing::Values(IdentifyCase{0, "0\tRK-540\tStage left"},
                                           IdentifyCase{1, "1\tRK-360\tStage left"},
                                           IdentifyCase{2, "2\tRL-4800\tStage left"},
                                           IdentifyCase{3, "3\t540S\tStage left"}),
                         [](const ::testing::TestParamInfo<IdentifyCase>& info) {
                           return "Type" + std::to_string(info.param.type);
                         });

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
}

TEST_F(CliDiscoveryTest, AddressWithPortOverridesTheDevicePort) {
  StartTcp(0, 2);
  const CliRun run = Run({"--tcp", QStringLiteral("127.0.0.2:%1").arg(port()), "identify"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  const CliRun wrong = Run({"--tcp", QStringLiteral("127.0.0.2:%1").arg(port() + 1), "identify"});
  EXPECT_EQ(wrong.exit_code, 1);
}

TEST_F(CliDiscoveryTest, NoDeviceIsExitOne) {
  sim::SimDeviceConfig silent;
  silent.type = 3;
  silent.address = QStringLiteral("127.0.0.3");
  silent.port = port();
  silent.faults.silent = true;
  Start(silent);
  for (const QStringList& args :
       {QStringList{"--tcp", "127.0.0.2", "identify"},
        QStringList{"--tcp", "127.0.0.3", "identify"}, QStringList{"--com", "7", "identify"},
        QStringList{"--tcp", "127.0.0.2", "readout"},
        QStringList{"--tcp", "127.0.0.2", "set", "InL", "gain", "0"}}) {
    const CliRun run = Run(args);
    EXPECT_EQ(run.exit_code, 1) << args.join(' ').toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.ErrLines().size(), 1) << run.err.toStdString();
  }
}

}  // namespace
}  // namespace tessaly::test
