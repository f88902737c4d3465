#include <gtest/gtest.h>

#include "sim/SimOptions.h"

namespace tessaly::sim {
namespace {

QStringList Args(std::initializer_list<const char*> items) {
  QStringList list;
  for (const char* item : items) list << QString::fromUtf8(item);
  return list;
}

TEST(SimOptions, DeviceKeys) {
  SimDeviceConfig config;
  ASSERT_EQ(
      ParseDeviceKeys(QStringLiteral("type=3,tcp=127.0.0.2:5001,name=\"Main, PA\",ip=10.0.0.7,"
                                     "firmware=1.1.3,second=2.0.1,programs=4,meters=tone,seed=9,"
                                     "clip=-4"),
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
  EXPECT_EQ(config.meters.programme, SimProgramme::kTone);
  EXPECT_EQ(config.meters.seed, 9u);
  EXPECT_EQ(config.meters.clip_dbv, -4.0);
  EXPECT_EQ(config.faults, SimFaults{});

  SimDeviceConfig faulty;
  ASSERT_EQ(
      ParseDeviceKeys(
          QStringLiteral("type=1,pty=/tmp/t/COM3,silent,silent-after=4,delay=250,"
                         "truncate=6,disconnect,garbage=9,cut=5,drop=1500:700,memory=/tmp/t/m.bin"),
          1001, &faulty),
      QString());
  EXPECT_EQ(faulty.link, SimLinkKind::kPty);
  EXPECT_EQ(faulty.pty_link, QStringLiteral("/tmp/t/COM3"));
  EXPECT_FALSE(faulty.pace_wire);
  EXPECT_EQ(faulty.faults, (SimFaults{.silent = true,
                                      .silent_after = 4,
                                      .delay_ms = 250,
                                      .truncate = 6,
                                      .disconnect = true,
                                      .garbage = 9,
                                      .cut = 5,
                                      .drop_after_ms = 1500,
                                      .drop_for_ms = 700}));
  EXPECT_EQ(faulty.memory_file, QStringLiteral("/tmp/t/m.bin"));
  SimDeviceConfig paced;
  ASSERT_EQ(ParseDeviceKeys(QStringLiteral("type=1,pty=auto,pace=wire"), 1001, &paced), QString());
  EXPECT_TRUE(paced.pace_wire);
}

TEST(SimOptions, RefusedKeysSayWhy) {
  const std::pair<const char*, const char*> cases[] = {
      {"tcp=127.0.0.2", "type"},
      {"type=4", "type"},
      {"type=0,tcp=192.168.0.10", "127.0.0.0/8"},
      {"type=0,tcp=127.0.0.2,pty=auto", "one link"},
      {"type=0,tcp=127.0.0.2:70000", "tcp"},
      {"type=0,colour=red", "colour"},
      {"type=0,name=\"Main", "quote"},
      {"type=0,firmware=1.2", "firmware"},
      {"type=0,tcp=127.0.0.2,pace=wire", "pty"},
      {"type=1,pty=auto,pace=fast", "pace"},
      {"type=0,meters=jazz", "meters"},
      {"type=0,clip=30", "clip"},
      {"type=0,drop=1500", "drop"},
      {"type=0,drop=a:5", "drop"},
      {"type=0,memory=", "memory"},
  };
  for (const auto& [keys, reason_part] : cases) {
    SimDeviceConfig config;
    const QString reason = ParseDeviceKeys(QString::fromUtf8(keys), 1001, &config);
    EXPECT_TRUE(reason.contains(QString::fromUtf8(reason_part)))
        << keys << ": " << reason.toStdString();
  }
}

TEST(SimOptions, CommandLine) {
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

  EXPECT_TRUE(ParseSimCommandLine(Args({"--help"}), QString()).help);
  EXPECT_TRUE(ParseSimCommandLine(Args({"--trace", "--device", "type=2"}), QString()).trace);
  for (const auto& args : {Args({}), Args({"--device"}), Args({"--bogus", "--device", "type=0"})}) {
    EXPECT_FALSE(ParseSimCommandLine(args, QString()).error.isEmpty())
        << args.join(' ').toStdString();
  }
  EXPECT_FALSE(
      ParseSimCommandLine(Args({"--device", "type=0"}), QStringLiteral("port")).error.isEmpty());
  const QString help = SimHelpText();
  for (const char* key :
       {"--device",   "--port",   "--trace",       "type=",     "tcp=",
        "pty=",       "name=",    "ip=",           "firmware=", "second=",
        "programs=",  "silent",   "silent-after=", "delay=",    "truncate=",
        "disconnect", "garbage=", "pace=",         "meters=",   "seed=",
        "clip=",      "drop=",    "memory=",       "cut=",      "TESSALY_DEVICE_PORT"}) {
    EXPECT_TRUE(help.contains(QString::fromUtf8(key))) << key;
  }
}

}  // namespace
}  // namespace tessaly::sim
