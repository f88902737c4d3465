#include "connect/DeviceList.h"

#include <gtest/gtest.h>

#include "ConnectRig.h"
#include "comm/Commands.h"
#include "comm/DeviceTypes.h"
#include "connect/IpSettings.h"
#include "connect/PortSelection.h"
#include "connect/TcpConnect.h"

namespace tessaly::connect {
namespace {

const QString kAddress = QStringLiteral("127.0.0.10");

int ConnectOne(test::ConnectRig& rig, int type) {
  const quint16 port = test::FreePort(kAddress);
  rig.comm.set_device_port(port);
  const int index = rig.StartTcp(type, kAddress, port, QStringLiteral("Foyer"));
  rig.WithNetwork();
  rig.session.config.single = {127, 0, 0, 10};
  rig.comm.state().connection_mode = comm::kLinkTcp;
  TcpConnect tcp(rig.context);
  EXPECT_TRUE(tcp.Initialise());
  EXPECT_EQ(tcp.Run({}), ConnectOutcome::kDevicesListed);
  return index;
}

void NoPause(int) {}

TEST(DeviceListTest, RowTexts) {
  EXPECT_EQ(DeviceRowText(comm::kLinkUsb, QString(), QStringLiteral("Hall"), true),
            QStringLiteral("USB - Hall - On-line"));
  EXPECT_EQ(
      DeviceRowText(comm::kLinkTcp, QStringLiteral("10.0.0.2"), QStringLiteral("Hall"), false),
      QStringLiteral("IP:10.0.0.2 - Hall - Off-line"));
}

TEST(DeviceListTest, OpeningAsksToConnectThenReadsAndIdentifiesTwice) {
  test::ConnectRig rig;
  const int index = ConnectOne(rig, comm::kTypeRk540);
  rig.device(index)->ClearReceived();
  DeviceList list(rig.context, NoPause);
  list.Load();
  const OpenResult result = list.OpenDevice(0, {});
  ASSERT_EQ(result.outcome, OpenOutcome::kReady);
  ASSERT_TRUE(result.read_out);
  EXPECT_TRUE(result.readout.complete());
  EXPECT_EQ(rig.MessageTexts(), QStringList{QString::fromLatin1(kConnectQuestion)});
  const QList<uint8_t> heard = rig.device(index)->ReceivedCommands();
  ASSERT_GE(heard.size(), 4);
  EXPECT_EQ(heard[0], comm::kCmdProbeA);
  EXPECT_EQ(heard[1], comm::kCmdReadSettings);
  EXPECT_EQ(heard.mid(heard.size() - 2), (QList<uint8_t>{comm::kCmdIdentify, comm::kCmdIdentify}));
  EXPECT_TRUE(rig.comm.state().keep_alive_hold);
  EXPECT_EQ(rig.comm.state().table.device_data_valid[0], 1);
  EXPECT_EQ(rig.comm.state().row_text[0], QStringLiteral("IP:127.0.0.10 - Foyer - On-line"));
}

TEST(DeviceListTest, DecliningTheConnectQuestionSendsNothing) {
  test::ConnectRig rig;
  const int index = ConnectOne(rig, comm::kType540S);
  rig.device(index)->ClearReceived();
  rig.messenger.answers.push_back(comm::MessageAnswer::kNo);
  DeviceList list(rig.context, NoPause);
  EXPECT_EQ(list.OpenDevice(0, {}).outcome, OpenOutcome::kDeclined);
  EXPECT_EQ(rig.device(index)->ReceivedCount(), 0);
  EXPECT_FALSE(rig.comm.state().keep_alive_hold);
}

TEST(DeviceListTest, OpenEditorIsReportedAndNothingIsSent) {
  test::ConnectRig rig;
  const int index = ConnectOne(rig, comm::kType540S);
  rig.comm.state().table.device_needs_read[0] = false;
  rig.comm.state().table[0].editor_open = true;
  rig.device(index)->ClearReceived();
  DeviceList list(rig.context, NoPause);
  EXPECT_EQ(list.OpenDevice(0, {}).outcome, OpenOutcome::kAlreadyOpen);
  ASSERT_EQ(rig.messenger.shown.size(), 1);
  EXPECT_EQ(rig.messenger.shown[0].text, QStringLiteral("The window is already open"));
  EXPECT_EQ(rig.messenger.shown[0].title, QStringLiteral("Edit window"));
  EXPECT_EQ(rig.device(index)->ReceivedCount(), 0);
}

TEST(DeviceListTest, SilentDeviceIsReportedDisconnectedAndMarkedOffline) {
  test::ConnectRig rig;
  const int index = ConnectOne(rig, comm::kType540S);
  rig.device(index)->ClearReceived();
  rig.device(index)->SetSilent(true);
  DeviceList list(rig.context, NoPause);
  EXPECT_EQ(list.OpenDevice(0, {}).outcome, OpenOutcome::kDisconnected);
  EXPECT_EQ(rig.MessageTexts(), (QStringList{QString::fromLatin1(kConnectQuestion),
                                             QStringLiteral("Device disconnected")}));
  EXPECT_EQ(rig.comm.state().row_text[0], QStringLiteral("IP:127.0.0.10 - Foyer - Off-line"));
  EXPECT_EQ(rig.device(index)->ReceivedCommands(),
            (QList<uint8_t>{comm::kCmdProbeA, comm::kCmdProbeA}));
}

TEST(DeviceListTest, RowOutsideTheListIsRefused) {
  test::ConnectRig rig;
  DeviceList list(rig.context, NoPause);
  EXPECT_EQ(list.OpenDevice(0, {}).outcome, OpenOutcome::kInvalidRow);
  EXPECT_EQ(list.OpenDevice(-1, {}).outcome, OpenOutcome::kInvalidRow);
}

TEST(IpSettingsTest, SaveSendsTheAddressAndNoSendsNothing) {
  test::ConnectRig rig;
  const int index = ConnectOne(rig, comm::kType540S);
  protocol::SlotState& slot_state = *rig.store.State(0);
  rig.device(index)->ClearReceived();
  const std::array<QString, 4> texts = {QStringLiteral("10"), QStringLiteral("20"),
                                        QStringLiteral("30"), QStringLiteral("40")};

  rig.messenger.answers.push_back(comm::MessageAnswer::kNo);
  EXPECT_EQ(SaveDeviceIp(rig.comm, slot_state, 0, texts), IpSaveResult::kDeclined);
  EXPECT_EQ(rig.device(index)->ReceivedCount(), 0);
  EXPECT_EQ(slot_state.ip, protocol::kDefaultSlotIp);

  EXPECT_EQ(SaveDeviceIp(rig.comm, slot_state, 0, texts), IpSaveResult::kSaved);
  EXPECT_EQ(slot_state.ip, (std::array<uint8_t, 4>{10, 20, 30, 40}));
  EXPECT_EQ(rig.device(index)->IpAddress(), (std::array<uint8_t, 4>{10, 20, 30, 40}));
  ASSERT_EQ(rig.device(index)->ReceivedPackets().size(), 1);
  EXPECT_EQ(rig.device(index)->ReceivedPackets()[0].toHex(),
            QByteArray("8d1f00780a141e2800000000f7"));
}

TEST(IpSettingsTest, DemoDeviceCountsAsSavedAndEmptyFieldIsRefused) {
  test::ConnectRig rig;
  rig.comm.state().comm_suspended = true;
  RunDemoSetup(rig.context);
  protocol::SlotState slot_state;
  EXPECT_EQ(SaveDeviceIp(rig.comm, slot_state, 0,
                         {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                          QStringLiteral("4")}),
            IpSaveResult::kSaved);
  EXPECT_EQ(slot_state.ip, (std::array<uint8_t, 4>{1, 2, 3, 4}));
  rig.messenger.shown.clear();
  EXPECT_EQ(
      SaveDeviceIp(rig.comm, slot_state, 0,
                   {QStringLiteral("1"), QString(), QStringLiteral("3"), QStringLiteral("4")}),
      IpSaveResult::kBadOctet);
  EXPECT_TRUE(rig.messenger.shown.isEmpty());
}

TEST(ComSearchTest, FindsTheMappedPortsAndTakesTheHighest) {
  test::ConnectRig rig;
  rig.StartPty(comm::kType540S, 5);
  rig.StartPty(comm::kTypeRk360, 9);
  for (int n = 1; n <= kComPortCount; ++n) {
    if (n != 5 && n != 9) rig.comm.com_ports().Map(n, QStringLiteral("/nonexistent/com%1").arg(n));
  }
  comm::SerialLink link(rig.comm.com_ports());
  int16_t com_port = 2;
  const ComSearchResult result = SearchComPorts(link, rig.messenger, com_port);
  EXPECT_EQ(result.found, (QList<int>{5, 9}));
  EXPECT_EQ(com_port, 9);
  ASSERT_EQ(rig.messenger.shown.size(), 1);
  EXPECT_EQ(rig.messenger.shown[0].title, QStringLiteral("Search COM"));
  EXPECT_EQ(rig.messenger.shown[0].icon, comm::MessageIcon::kInformation);
  EXPECT_EQ(rig.messenger.shown[0].text, QStringLiteral("COM found:\nCOM5\nCOM9\n"));
}

TEST(ComSearchTest, NothingFoundKeepsThePort) {
  test::ConnectRig rig;
  for (int n = 1; n <= kComPortCount; ++n) {
    rig.comm.com_ports().Map(n, QStringLiteral("/nonexistent/com%1").arg(n));
  }
  comm::SerialLink link(rig.comm.com_ports());
  int16_t com_port = 4;
  EXPECT_TRUE(SearchComPorts(link, rig.messenger, com_port).found.isEmpty());
  EXPECT_EQ(com_port, 4);
  ASSERT_EQ(rig.messenger.shown.size(), 1);
  EXPECT_EQ(rig.messenger.shown[0].text, QStringLiteral("COM not found"));
  EXPECT_EQ(rig.messenger.shown[0].icon, comm::MessageIcon::kExclamation);
}

}  // namespace
}  // namespace tessaly::connect
