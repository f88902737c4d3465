#include <gtest/gtest.h>

#include "sim/SimOptions.h"

namespace tessaly::sim {
namespace {

QStringList Args(std::initializer_list<const char*> items) {
  QStringList list;
  for (const char* item : items) list << QString::fromUtf8(item);
  return list;
}

TEST(SimOptions, FullDeviceKeys) {
  SimDeviceConfig config;
  ASSERT_EQ(
      ParseDeviceKeys(QStringLiteral("type=3,tcp=127.0.0.2:5001,name=\"Main, PA\",ip=10.0.0.7,"
                                     "firmware=1.1.3,second=2.0.1,programs=4"),
                      1001, &config),
      QString());
  EXPECT_EQ(config.type, 3);
  EXPECT_EQ(config.link, SimLinkKind::kTcp);
  EXPECT_EQ(config.address, QStringLiteral("127.0.0.2"));
  EXPECT_EQ(config.port, 5001);
  EXPECT_EQ(config.name, QStringLiteral("Main, PA"));
  EXPECT_EQ(config.ip, (std::array<uint8_t, 4>{10, 0, 0, 7}));
  EXPECT_EQ(config.versions.firmware, (std::array<uint8_t, 3>{1, 1, 3}));
  EXPECT_EQ(config.versions.second, (std::array<uint8_t, 3>{2, 0, 1}));
  EXPECT_EQ(config.programs, 4);
  EXPECT_EQ(config.faults, SimFaults{});
}

TEST(SimOptions, FaultKeys) {
  SimDeviceConfig config;
  ASSERT_EQ(ParseDeviceKeys(QStringLiteral("type=1,pty=/tmp/t/COM3,silent,silent-after=4,delay=250,"
                                           "truncate=6,disconnect,garbage=9"),
                            1001, &config),
            QString());
  EXPECT_EQ(config.link, SimLinkKind::kPty);
  EXPECT_EQ(config.pty_link, QStringLiteral("/tmp/t/COM3"));
  const SimFaults expected{.silent = true,
                           .silent_after = 4,
                           .delay_ms = 250,
                           .truncate = 6,
                           .disconnect = true,
                           .garbage = 9};
  EXPECT_EQ(config.faults, expected);
}

struct RefusedCase {
  const char* name;
  const char* keys;
  const char* reason_part;
};

class SimOptionsRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(SimOptionsRefused, SaysWhy) {
  SimDeviceConfig config;
  const QString reason = ParseDeviceKeys(QString::fromUtf8(GetParam().keys), 1001, &config);
  EXPECT_TRUE(reason.contains(QString::fromUtf8(GetParam().reason_part))) << reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SimOptionsRefused,
    ::testing::Values(RefusedCase{"NoType", "tcp=127.0.0.2", "type"},
                      RefusedCase{"TypeOutOfRange", "type=4", "type"},
                      RefusedCase{"NotLoopback", "type=0,tcp=192.168.0.10", "127.0.0.0/8"},
                      RefusedCase{"TwoLinks", "type=0,tcp=127.0.0.2,pty=auto", "one link"},
                      RefusedCase{"BadPort", "type=0,tcp=127.0.0.2:70000", "tcp"},
                      RefusedCase{"UnknownKey", "type=0,colour=red", "colour"},
                      RefusedCase{"OpenQuote", "type=0,name=\"Main", "quote"},
                      RefusedCase{"BadVersion", "type=0,firmware=1.2", "firmware"}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST(SimOptions, DefaultPortFromEnvironmentAndFlag) {
  SimCommandLine line = ParseSimCommandLine(Args({"--device", "type=0"}), QString());
  ASSERT_EQ(line.devices.size(), 1u);
  EXPECT_EQ(line.devices[0].port, 1001);
  EXPECT_EQ(line.devices[0].address, QStringLiteral("127.0.0.1"));

  line = ParseSimCommandLine(Args({"--device", "type=0"}), QStringLiteral("6001"));
  EXPECT_EQ(line.devices[0].port, 6001);

  // --port wins over the environment, wherever it stands.
  line = ParseSimCommandLine(
      Args({"--device", "type=0", "--port", "7001", "--device=type=1,tcp=127.0.0.3:7002"}),
      QStringLiteral("6001"));
  ASSERT_EQ(line.devices.size(), 2u);
  EXPECT_EQ(line.devices[0].port, 7001);
  EXPECT_EQ(line.devices[1].port, 7002);
}

TEST(SimOptions, CommandLineErrorsAndFlags) {
  EXPECT_TRUE(ParseSimCommandLine(Args({"--help"}), QString()).help);
  EXPECT_TRUE(ParseSimCommandLine(Args({"--trace", "--device", "type=2"}), QString()).trace);
  EXPECT_FALSE(ParseSimCommandLine(Args({}), QString()).error.isEmpty());
  EXPECT_FALSE(ParseSimCommandLine(Args({"--device"}), QString()).error.isEmpty());
  EXPECT_FALSE(
      ParseSimCommandLine(Args({"--bogus", "--device", "type=0"}), QString()).error.isEmpty());
  EXPECT_FALSE(
      ParseSimCommandLine(Args({"--device", "type=0"}), QStringLiteral("port")).error.isEmpty());
}

TEST(SimOptions, HelpNamesEveryKey) {
  const QString help = SimHelpText();
  for (const char* key :
       {"--device", "--port", "--trace",
        "type=", "tcp=", "pty=", "name=", "ip=", "firmware=", "second=", "programs=", "silent",
        "silent-after=", "delay=", "truncate=", "disconnect", "garbage=", "TESSALY_DEVICE_PORT"}) {
    EXPECT_TRUE(help.contains(QString::fromUtf8(key))) << key;
  }
}

}  // namespace
}  // namespace tessaly::sim
