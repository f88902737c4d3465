#include "connect/TcpConnect.h"

#include <gtest/gtest.h>

#include "ConnectRig.h"
#include "device/Commands.h"

namespace tessaly::connect {
namespace {

const QString kTen = QStringLiteral("127.0.0.10");
const QString kTwelve = QStringLiteral("127.0.0.12");

TEST(TcpConnectTest, AddressListFromTheRecord) {
  InitConfig config{0, 0, {192, 168, 0, 7}, {192, 168, 0, 10}, {192, 168, 0, 12}};
  EXPECT_EQ(BuildAddressList(config, true),
            (QStringList{"192.168.0.10", "192.168.0.11", "192.168.0.12"}));
  EXPECT_EQ(BuildAddressList(config, false), QStringList{"192.168.0.7"});
  // The end's prefix is not used: a range lives in the start's subnet.
  config.range_end = {10, 0, 0, 10};
  EXPECT_EQ(BuildAddressList(config, true), QStringList{"192.168.0.10"});
  config.range_end[3] = 9;
  EXPECT_TRUE(BuildAddressList(config, true).isEmpty());
}

// Devices on .10 and .12 take slots 0 and 1; the silent one on .11 is probed twice, named in the
// summary and gives its slot to the next address; nothing listens on .13.
TEST(TcpConnectTest, RangeScanGivesConsecutiveSlotsAndSaysWhatEachAddressDid) {
  test::ConnectRig rig;
  const quint16 port = tessaly::test::ReservedPort();
  rig.comm.set_device_port(port);
  const int ten = rig.StartTcp(device::kType540S, kTen, port, QStringLiteral("Main PA"));
  const int mute = rig.StartTcp(device::kTypeRk540, "127.0.0.11", port);
  rig.device(mute)->SetSilent(true);
  const int twelve =
      rig.StartTcp(device::kTypeRl4800, kTwelve, port, QStringLiteral("Delay tower"));
  rig.WithNetwork();
  rig.ScanRange(10, 13);
  QStringList status;
  ConnectHooks hooks;
  hooks.status = [&status](const QString& text) { status << text; };

  EXPECT_EQ(rig.RunTcpConnect(hooks), ConnectOutcome::kDevicesListed);
  EXPECT_EQ(rig.session.scan_summary,
            "2 devices found; 127.0.0.11 accepted the connection but did not answer");
  QStringList details = rig.session.scan_details.split('\n', Qt::SkipEmptyParts);
  details.sort();
  EXPECT_EQ(details,
            (QStringList{"127.0.0.10: answered, slot 0",
                         "127.0.0.11: accepted the connection but did not answer",
                         "127.0.0.12: answered, slot 1", "127.0.0.13: refused the connection"}));
  const comm::CommState& state = rig.comm.state();
  EXPECT_TRUE(state.last_slot == 1 && !rig.comm.suspended());
  for (int slot = 0; slot < 2; ++slot) {
    const comm::DeviceEntry& entry = state.table[slot];
    EXPECT_EQ(std::tuple(entry.registered, entry.online, entry.link_kind, entry.device_id,
                         entry.ip_address, state.table.device_type[slot],
                         state.table.device_name[slot], state.table.device_row[slot]),
              slot == 0 ? std::tuple(true, true, comm::kLinkTcp, 0, kTen, device::kType540S,
                                     QStringLiteral("Main PA         "), 0)
                        : std::tuple(true, true, comm::kLinkTcp, 1, kTwelve, device::kTypeRl4800,
                                     QStringLiteral("Delay tower     "), 1));
    EXPECT_TRUE(rig.comm.tcp().IsConnected(slot));
  }
  EXPECT_TRUE(!state.table[2].registered && state.table[2].ip_address == "192.168.0.102");
  EXPECT_EQ(status, (QStringList{"Searching device [IP:127.0.0.10], please wait.....",
                                 "Searching device [IP:127.0.0.11], please wait.....",
                                 "Searching device [IP:127.0.0.12], please wait....."}));
  for (const int index : {ten, twelve}) {
    EXPECT_EQ(rig.device(index)->ReceivedCommands(),
              (QList<uint8_t>{device::kCmdProbeA, device::kCmdIdentify, device::kCmdReadSettings}));
  }
  EXPECT_EQ(rig.device(mute)->ReceivedCommands(), QList<uint8_t>(2, device::kCmdProbeA));
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

TEST(TcpConnectTest, NoNetworkTellsSoBeforeTheDemoQuestion) {
  for (const bool several : {false, true}) {
    test::ConnectRig rig;
    rig.comm.tcp_slots()->SetLocalAddresses({QStringLiteral("127.0.0.1")});
    rig.session.several_addresses = several;
    rig.comm.state().connection_mode = comm::kLinkTcp;
    EXPECT_EQ(rig.RunTcpConnect(), ConnectOutcome::kDemo);
    ASSERT_EQ(rig.messenger.shown.size(), 2);
    EXPECT_TRUE(rig.messenger.shown[0].title == "TCP/IP Scan" &&
                rig.messenger.shown[0].icon == device::MessageIcon::kExclamation);
    EXPECT_EQ(rig.MessageTexts(),
              (QStringList{"WLAN or LAN not found",
                           "WLAN or LAN not found, do you want to continue in demo mode?"}));
    EXPECT_EQ(rig.messenger.shown[1].buttons, device::MessageButtons::kYesNo);
    const comm::CommState& state = rig.comm.state();
    EXPECT_TRUE(rig.comm.suspended());
    EXPECT_EQ(state.last_slot, several ? 4 : 0);
    EXPECT_EQ(state.table.device_type[state.last_slot], device::kType540S);
  }
}

TEST(TcpConnectTest, NoAnswerAsksForDemoAndNoStaysOffline) {
  test::ConnectRig rig;
  rig.comm.set_device_port(tessaly::test::ReservedPort());
  rig.WithNetwork();
  rig.ScanRange(20, 21);
  rig.messenger.answers.push_back(device::MessageAnswer::kNo);
  EXPECT_EQ(rig.RunTcpConnect(), ConnectOutcome::kStayOffline);
  EXPECT_EQ(rig.MessageTexts(),
            QStringList{QStringLiteral("Device not found, do you want to continue in demo mode?")});
  EXPECT_EQ(rig.comm.state().last_slot, -1);
  EXPECT_FALSE(rig.comm.suspended());
  EXPECT_FALSE(rig.comm.state().table[0].registered);
}

// The slot table holds 33 devices; the 34th that answers is named, not registered.
TEST(TcpDiscoveryTest, RegistersAtMostThirtyThreeDevices) {
  test::ConnectRig rig;
  const quint16 port = tessaly::test::ReservedPort();
  rig.comm.set_device_port(port);
  QStringList addresses;
  for (int i = 0; i <= comm::kSlotCount; ++i) {
    addresses << QStringLiteral("127.0.0.%1").arg(100 + i);
    rig.StartTcp(device::kType540S, addresses.back(), port);
  }
  rig.comm.state().connection_mode = comm::kLinkTcp;
  ResetTcpSlots(rig.comm.state());
  ASSERT_EQ(rig.comm.tcp().Initialise(comm::kSlotCount), 0);
  TcpDiscovery discovery(rig.comm);
  QEventLoop loop;
  QObject::connect(&discovery, &TcpDiscovery::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(30000, &loop, &QEventLoop::quit);
  discovery.Start(addresses, {});
  loop.exec();

  EXPECT_EQ(discovery.report().Registered(), comm::kSlotCount);
  EXPECT_EQ(rig.comm.state().last_slot, comm::kLastSlot);
  EXPECT_EQ(rig.comm.state().table[comm::kLastSlot].ip_address, addresses[comm::kLastSlot]);
  EXPECT_EQ(discovery.report().Summary(),
            QStringLiteral("33 devices found; 127.0.0.133 answered, but all 33 slots are taken"));
  EXPECT_EQ(rig.device(comm::kSlotCount)->ReceivedCount(), 0);
}

}  // namespace
}  // namespace tessaly::connect
