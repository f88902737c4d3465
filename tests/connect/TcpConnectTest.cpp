#include "connect/TcpConnect.h"

#include <gtest/gtest.h>

#include "ConnectRig.h"
#include "comm/Commands.h"
#include "comm/DeviceTypes.h"

namespace tessaly::connect {
namespace {

const QString kTen = QStringLiteral("127.0.0.10");
const QString kEleven = QStringLiteral("127.0.0.11");
const QString kTwelve = QStringLiteral("127.0.0.12");

void ScanRange(test::ConnectRig& rig, int first, int last) {
  rig.session.several_addresses = true;
  rig.session.config.range_start = {127, 0, 0, static_cast<int16_t>(first)};
  rig.session.config.range_end = {127, 0, 0, static_cast<int16_t>(last)};
  rig.comm.state().connection_mode = comm::kLinkTcp;
}

struct Seen {
  QStringList status;
};

ConnectHooks Recording(Seen& seen) {
  ConnectHooks hooks;
  hooks.status = [&seen](const QString& text) { seen.status << text; };
  return hooks;
}

TEST(TcpConnectTest, AddressListFromTheRecord) {
  InitConfig config;
  config.single = {192, 168, 0, 7};
  config.range_start = {192, 168, 0, 10};
  config.range_end = {192, 168, 0, 12};
  EXPECT_EQ(BuildAddressList(config, true),
            (QStringList{QStringLiteral("192.168.0.10"), QStringLiteral("192.168.0.11"),
                         QStringLiteral("192.168.0.12")}));
  EXPECT_EQ(BuildAddressList(config, false), QStringList{QStringLiteral("192.168.0.7")});
  // The end's prefix is not used: a range lives in the start's subnet.
  config.range_end = {10, 0, 0, 10};
  EXPECT_EQ(BuildAddressList(config, true), QStringList{QStringLiteral("192.168.0.10")});
  config.range_end[3] = 9;
  EXPECT_TRUE(BuildAddressList(config, true).isEmpty());
}

TEST(TcpConnectTest, RangeWithDevicesOnTenAndTwelveGivesSlotsZeroAndOne) {
  test::ConnectRig rig;
  const quint16 port = test::FreePort(kTen);
  ASSERT_NE(port, 0);
  rig.comm.set_device_port(port);
  const int ten = rig.StartTcp(comm::kType540S, kTen, port, QStringLiteral("Main PA"));
  const int twelve = rig.StartTcp(comm::kTypeRl4800, kTwelve, port, QStringLiteral("Delay tower"));
  rig.WithNetwork();
  ScanRange(rig, 10, 12);

  TcpConnect tcp(rig.context);
  ASSERT_TRUE(tcp.Initialise());
  Seen seen;
  EXPECT_EQ(tcp.Run(Recording(seen)), ConnectOutcome::kDevicesListed);
  EXPECT_EQ(tcp.scanned(), (QStringList{kTen, kEleven, kTwelve}));

  const comm::CommState& state = rig.comm.state();
  EXPECT_EQ(state.last_slot, 1);
  EXPECT_FALSE(state.comm_suspended);
  struct Expect {
    int slot;
    const QString& address;
    int type;
    const char* name;
  };
  for (const Expect& e : {Expect{0, kTen, comm::kType540S, "Main PA"},
                          Expect{1, kTwelve, comm::kTypeRl4800, "Delay tower"}}) {
    EXPECT_TRUE(state.table[e.slot].registered) << e.slot;
    EXPECT_TRUE(state.table[e.slot].online) << e.slot;
    EXPECT_EQ(state.table[e.slot].link_kind, comm::kLinkTcp);
    EXPECT_EQ(state.table[e.slot].device_id, e.slot);
    EXPECT_EQ(state.table[e.slot].ip_address, e.address);
    EXPECT_EQ(state.table.device_type[static_cast<size_t>(e.slot)], e.type);
    EXPECT_EQ(state.table.device_name[static_cast<size_t>(e.slot)],
              QString::fromLatin1(e.name).leftJustified(16));
    EXPECT_EQ(state.table.device_row[static_cast<size_t>(e.slot)], e.slot);
    EXPECT_TRUE(rig.comm.tcp().IsConnected(e.slot));
  }
  EXPECT_FALSE(state.table[2].registered);
  EXPECT_EQ(state.table[2].ip_address, QStringLiteral("192.168.0.102"));
  EXPECT_EQ(seen.status,
            (QStringList{QStringLiteral("Searching device [IP:127.0.0.10], please wait....."),
                         QStringLiteral("Searching device [IP:127.0.0.12], please wait.....")}));
  for (const int index : {ten, twelve}) {
    EXPECT_EQ(rig.device(index)->ReceivedCommands(),
              (QList<uint8_t>{comm::kCmdProbeA, comm::kCmdIdentify, comm::kCmdReadSettings}));
  }
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

TEST(TcpConnectTest, FailedProbeIsTriedOnceMoreAndItsSlotGoesToTheNextAddress) {
  test::ConnectRig rig;
  const quint16 port = test::FreePort(kTen);
  rig.comm.set_device_port(port);
  const int mute = rig.StartTcp(comm::kTypeRk540, kTen, port);
  rig.device(mute)->SetSilent(true);
  const int good = rig.StartTcp(comm::kTypeRk360, kEleven, port);
  rig.WithNetwork();
  ScanRange(rig, 10, 11);

  TcpConnect tcp(rig.context);
  ASSERT_TRUE(tcp.Initialise());
  EXPECT_EQ(tcp.Run({}), ConnectOutcome::kDevicesListed);
  EXPECT_EQ(rig.device(mute)->ReceivedCommands(),
            (QList<uint8_t>{comm::kCmdProbeA, comm::kCmdProbeA}));
  const comm::CommState& state = rig.comm.state();
  EXPECT_EQ(state.last_slot, 0);
  EXPECT_EQ(state.table[0].ip_address, kEleven);
  EXPECT_EQ(state.table.device_type[0], comm::kTypeRk360);
  EXPECT_FALSE(state.table[1].registered);
  EXPECT_GT(rig.device(good)->ReceivedCount(), 0);
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

TEST(TcpConnectTest, DeviceThatAnswersTheProbeButNotTheNameStaysRegisteredWithoutName) {
  test::ConnectRig rig;
  const quint16 port = test::FreePort(kTen);
  rig.comm.set_device_port(port);
  const int index = rig.StartTcp(comm::kType540S, kTen, port, QStringLiteral("Quiet"));
  rig.device(index)->SetSilentAfter(2);  // probe and identify, then nothing
  rig.WithNetwork();
  rig.session.several_addresses = false;
  rig.session.config.single = {127, 0, 0, 10};
  rig.comm.state().connection_mode = comm::kLinkTcp;

  TcpConnect tcp(rig.context);
  ASSERT_TRUE(tcp.Initialise());
  EXPECT_EQ(tcp.Run({}), ConnectOutcome::kDevicesListed);
  const comm::CommState& state = rig.comm.state();
  EXPECT_EQ(state.last_slot, 0);
  EXPECT_TRUE(state.table[0].registered);
  EXPECT_TRUE(state.table[0].online);
  EXPECT_EQ(state.table.device_type[0], comm::kType540S);
  EXPECT_TRUE(state.table.device_name[0].isEmpty());
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

TEST(TcpConnectTest, NoNetworkTellsSoBeforeTheDemoQuestion) {
  for (const bool several : {false, true}) {
    test::ConnectRig rig;
    rig.comm.tcp_slots()->SetLocalAddresses({QStringLiteral("127.0.0.1")});
    rig.session.several_addresses = several;
    rig.comm.state().connection_mode = comm::kLinkTcp;
    TcpConnect tcp(rig.context);
    ASSERT_TRUE(tcp.Initialise());
    EXPECT_EQ(tcp.Run({}), ConnectOutcome::kDemo);
    ASSERT_EQ(rig.messenger.shown.size(), 2);
    EXPECT_EQ(rig.messenger.shown[0].title, QStringLiteral("TCP/IP Scan"));
    EXPECT_EQ(rig.messenger.shown[0].text, QStringLiteral("WLAN or LAN not found"));
    EXPECT_EQ(rig.messenger.shown[0].icon, comm::MessageIcon::kExclamation);
    EXPECT_EQ(rig.messenger.shown[1].text,
              QStringLiteral("WLAN or LAN not found, do you want to continue in demo mode?"));
    EXPECT_EQ(rig.messenger.shown[1].buttons, comm::MessageButtons::kYesNo);

    const comm::CommState& state = rig.comm.state();
    EXPECT_TRUE(state.comm_suspended);
    const int last = several ? 4 : 0;
    EXPECT_EQ(state.last_slot, last);
    for (int slot = 0; slot <= last; ++slot) {
      EXPECT_TRUE(state.table[slot].registered);
      EXPECT_FALSE(state.table[slot].online);
      EXPECT_EQ(state.table.device_type[static_cast<size_t>(slot)], comm::kType540S);
    }
    EXPECT_EQ(state.table[0].ip_address,
              several ? QStringLiteral("192.168.0.1") : QStringLiteral("192.168.0.100"));
  }
}

TEST(TcpConnectTest, NoAnswerAsksForDemoAndNoStaysOffline) {
  test::ConnectRig rig;
  rig.comm.set_device_port(test::FreePort(QStringLiteral("127.0.0.20")));
  rig.WithNetwork();
  ScanRange(rig, 20, 21);
  rig.messenger.answers.push_back(comm::MessageAnswer::kNo);
  TcpConnect tcp(rig.context);
  ASSERT_TRUE(tcp.Initialise());
  EXPECT_EQ(tcp.Run({}), ConnectOutcome::kStayOffline);
  EXPECT_EQ(rig.MessageTexts(),
            QStringList{QStringLiteral("Device not found, do you want to continue in demo mode?")});
  EXPECT_EQ(rig.comm.state().last_slot, -1);
  EXPECT_FALSE(rig.comm.state().comm_suspended);
  EXPECT_FALSE(rig.comm.state().table[0].registered);
}

TEST(TcpConnectTest, CancelledScanIgnoresItsAnswer) {
  test::ConnectRig rig;
  const quint16 port = test::FreePort(kTen);
  rig.comm.set_device_port(port);
  const int index = rig.StartTcp(comm::kType540S, kTen, port);
  rig.WithNetwork();
  ScanRange(rig, 10, 10);
  TcpConnect tcp(rig.context);
  ASSERT_TRUE(tcp.Initialise());
  // The answer of a scan that was running when the user cancelled.
  tcp.Cancel();
  tcp.OnScanResponse({kTen});
  EXPECT_EQ(tcp.outcome(), ConnectOutcome::kCancelled);
  EXPECT_TRUE(rig.session.scan_cancelled);
  EXPECT_EQ(rig.comm.state().last_slot, -1);
  EXPECT_EQ(rig.device(index)->ReceivedCount(), 0);
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

TEST(TcpConnectTest, ScanAnswerFromOutsideTheRangeIsIgnored) {
  test::ConnectRig rig;
  const quint16 port = test::FreePort(kTen);
  rig.comm.set_device_port(port);
  const int inside = rig.StartTcp(comm::kType540S, kTen, port);
  const int outside = rig.StartTcp(comm::kTypeRk540, kTwelve, port);
  rig.WithNetwork();
  ScanRange(rig, 10, 10);
  TcpConnect tcp(rig.context);
  ASSERT_TRUE(tcp.Initialise());
  ASSERT_EQ(tcp.Run({}), ConnectOutcome::kDevicesListed);
  rig.device(inside)->ClearReceived();

  tcp.OnScanResponse({kTwelve, kTen});
  const comm::CommState& state = rig.comm.state();
  EXPECT_EQ(state.last_slot, 0);
  EXPECT_EQ(state.table[0].ip_address, kTen);
  EXPECT_FALSE(state.table[1].registered);
  EXPECT_EQ(rig.device(outside)->ReceivedCount(), 0);
  EXPECT_GT(rig.device(inside)->ReceivedCount(), 0);
}

}  // namespace
}  // namespace tessaly::connect
