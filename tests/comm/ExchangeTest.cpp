#include <gtest/gtest.h>

#include <QSignalSpy>

#include "CommRig.h"
#include "comm/Commands.h"

namespace tessaly::comm::test {
namespace {

// Commands of the 2000 ms class keep the lost-reply cases short.
constexpr uint8_t kShortWaitCommand = 18;

QByteArray Bytes(const auto& buffer, int count) {
  return QByteArray(reinterpret_cast<const char*>(buffer.data()), count);
}

class ExchangeTest : public ::testing::TestWithParam<Transport> {};

TEST_P(ExchangeTest, EditPacketReachesTheDeviceAndTheReplyLandsInRxBuffer) {
  CommRig rig(GetParam(), 0);
  ASSERT_EQ(rig.comm().TxCommand(0, 1, {1, 0, 0, 0, 0, 0, 0, 127}), 0);
  ASSERT_EQ(rig.device()->ReceivedCount(), 1);
  EXPECT_EQ(rig.device()->ReceivedPackets().front().toHex(),
            "8d1f000101000000000000"
            "7ff7");
  EXPECT_EQ(rig.state().rx_buffer[3], 1);
  EXPECT_TRUE(rig.state().tx_idle);
}

TEST_P(ExchangeTest, MemoryReadBringsP3PlusFiveBytes) {
  CommRig rig(GetParam(), 3);
  rig.state().rx_buffer.fill(0xEE);
  ASSERT_EQ(rig.comm().TxCommand(0, kCmdReadParams, {0x00, 0x40, 32}), 0);
  const QByteArray image = rig.device()->Image();
  EXPECT_EQ(Bytes(std::span(rig.state().rx_buffer).subspan(4), 32), image.mid(0x40, 32));
  // Bytes past the reply keep their older contents.
  EXPECT_EQ(rig.state().rx_buffer[37], 0xEE);
}

TEST_P(ExchangeTest, IdentifyStoresTheReportedType) {
  // Types 1 and 2 share a line speed, so the serial line still reaches the device.
  CommRig rig(GetParam(), 2);
  rig.comm().table().device_type[0] = 1;
  ASSERT_EQ(rig.comm().TxCommand(0, kCmdIdentify, {0, 0, 0, 0, 0, 0, 0, 7}), 0);
  EXPECT_EQ(rig.comm().table().device_type[0], 2);
  // Byte 11 carries the connection mode, not the caller's P8.
  EXPECT_EQ(static_cast<uint8_t>(rig.device()->ReceivedPackets().front()[11]),
            rig.state().connection_mode);
}

TEST_P(ExchangeTest, CommandWithoutReplyReturnsAtOnce) {
  CommRig rig(GetParam(), 0);
  EXPECT_EQ(rig.comm().TxCommand(0, kCmdNoReply), 0);
  EXPECT_EQ(rig.WaitForPackets(1), 1);
  ASSERT_EQ(rig.comm().TxCommand(0, kCmdKeepAlive), 0);
  EXPECT_EQ(rig.device()->ReceivedCommands(), (QList<uint8_t>{kCmdNoReply, kCmdKeepAlive}));
}

TEST_P(ExchangeTest, FlagsAndSlotsThatForbidSendingSendNothing) {
  struct Case {
    const char* name;
    std::function<void(CommRig&)> arrange;
    int slot;
  };
  const Case cases[] = {
      {"CommSuspended", [](CommRig& r) { r.state().comm_suspended = true; }, 0},
      {"TransferLock", [](CommRig& r) { r.state().transfer_lock = true; }, 0},
      {"CommNotReady", [](CommRig& r) { r.state().comm_ready = false; }, 0},
      {"SlotOffline", [](CommRig& r) { r.comm().table()[0].online = false; }, 0},
      {"SlotBelowTable", [](CommRig&) {}, -1},
      {"SlotAboveTable", [](CommRig&) {}, 33},
      {"UnusedSlot", [](CommRig&) {}, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommRig rig(GetParam(), 0);
    c.arrange(rig);
    EXPECT_EQ(rig.comm().TxCommand(c.slot, 1, {1, 0, 0, 0, 0, 0, 0, 100}), 0);
    EXPECT_TRUE(rig.state().tx_idle);
    EXPECT_EQ(rig.device()->ReceivedCount(), 0);
    EXPECT_TRUE(rig.messenger().shown.isEmpty());
  }
}

TEST_P(ExchangeTest, LostReplyReportedClosesLinkMarksOfflineAndClosesTheEditor) {
  CommRig rig(GetParam(), 0);
  rig.comm().table()[0].editor_open = true;
  rig.comm().table().device_data_valid[0] = 1;
  rig.comm().table().device_needs_read[0] = false;
  QSignalSpy close_requests(&rig.comm(), &Comm::EditorCloseRequested);
  rig.device()->SetSilent(true);
  rig.state().rx_buffer.fill(0x5A);

  EXPECT_EQ(rig.comm().TxCommand(0, kShortWaitCommand), -1);

  ASSERT_EQ(rig.messenger().shown.size(), 1);
  const Message& message = rig.messenger().shown.front();
  EXPECT_EQ(message.icon, MessageIcon::kExclamation);
  EXPECT_EQ(message.title, QStringLiteral("Communication problem"));
  EXPECT_EQ(message.text,
            QStringLiteral("The system will be close the communication with the device. \n"
                           "To reconnect with device, please select device from the Device List "
                           "window."));
  EXPECT_EQ(rig.state().row_text[0], GetParam() == Transport::kTcp
                                         ? QStringLiteral("IP:127.0.0.2 -  RK-540  - Off-line")
                                         : QStringLiteral("USB -  RK-540  - Off-line"));
  EXPECT_FALSE(rig.comm().table()[0].online);
  EXPECT_EQ(rig.comm().table().device_data_valid[0], 0);
  EXPECT_TRUE(rig.comm().table().device_needs_read[0]);
  EXPECT_FALSE(rig.LinkOpen());
  ASSERT_EQ(close_requests.count(), 1);
  EXPECT_EQ(close_requests.front().front().toInt(), 0);
  EXPECT_TRUE(rig.state().tx_idle);
  EXPECT_EQ(rig.state().rx_buffer[0], 0x5A);  // a failed exchange leaves the last reply alone
}

TEST_P(ExchangeTest, LostReplyDuringDiscoveryIsSilentButClosesTheLink) {
  CommRig rig(GetParam(), 0);
  rig.state().report_link_loss = false;
  QSignalSpy close_requests(&rig.comm(), &Comm::EditorCloseRequested);
  rig.comm().table()[0].editor_open = true;
  rig.device()->SetSilent(true);

  EXPECT_EQ(rig.comm().TxCommand(0, kShortWaitCommand), 0);

  EXPECT_TRUE(rig.messenger().shown.isEmpty());
  EXPECT_TRUE(rig.comm().table()[0].online);
  EXPECT_TRUE(rig.state().row_text[0].isEmpty());
  EXPECT_FALSE(rig.LinkOpen());
  EXPECT_EQ(close_requests.count(), 0);
}

// Every kind of bad answer fails the exchange the way a lost reply does, and once the device is
// reached again the next exchange gets its own answer, not leftovers of the bad one.
TEST_P(ExchangeTest, BadRepliesFailLikeLostOnesAndDoNotPoisonTheNextExchange) {
  struct Case {
    const char* name;
    std::function<void(sim::SimDevice&)> fault;
    bool exchange_fails;
  };
  const Case cases[] = {
      {"Truncated", [](sim::SimDevice& d) { d.SetTruncate(7); }, true},
      {"Late", [](sim::SimDevice& d) { d.SetDelayMs(2400); }, true},
      {"Disconnect", [](sim::SimDevice& d) { d.DisconnectOnNextPacket(); }, true},
      {"TrailingGarbage", [](sim::SimDevice& d) { d.SetGarbage(9); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommRig rig(GetParam(), 0);
    c.fault(*rig.device());
    const int16_t result = rig.comm().TxCommand(0, kShortWaitCommand);
    EXPECT_EQ(result, c.exchange_fails ? -1 : 0);
    EXPECT_EQ(rig.messenger().shown.size(), c.exchange_fails ? 1 : 0);

    rig.device()->ClearFaults();
    if (c.exchange_fails) rig.Relink();
    ASSERT_EQ(rig.comm().TxCommand(0, kCmdReadParams, {0x00, 0x20, 32}), 0);
    EXPECT_EQ(rig.state().rx_buffer[3], kCmdReadParams);
    EXPECT_EQ(Bytes(std::span(rig.state().rx_buffer).subspan(4), 32),
              rig.device()->Image().mid(0x20, 32));
  }
}

// The keep-alive keeps its link after a miss, so the missed answer can still turn up ahead of the
// next one; it must be recognised and skipped, whether or not it has the next answer's length.
TEST_P(ExchangeTest, LateKeepAliveAnswerIsNotTakenForTheNextOne) {
  struct Case {
    const char* name;
    uint8_t command;
    Params params;
    int data_bytes;
  };
  const Case cases[] = {
      {"SameLength", 1, {1, 0, 0, 0, 0, 0, 0, 100}, 0},
      {"LongerAnswer", kCmdReadParams, {0x00, 0x40, 32}, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CommRig rig(GetParam(), 0);
    rig.device()->SetDelayMs(kPollWaitMs + 300);
    EXPECT_EQ(rig.comm().TxPoll(0, kCmdKeepAlive), -1);
    EXPECT_TRUE(rig.LinkOpen());
    ASSERT_EQ(rig.comm().TxCommand(0, c.command, c.params), 0);
    EXPECT_EQ(rig.state().rx_buffer[3], c.command);
    if (c.data_bytes > 0) {
      EXPECT_EQ(Bytes(std::span(rig.state().rx_buffer).subspan(4), c.data_bytes),
                rig.device()->Image().mid(0x40, c.data_bytes));
    }
    EXPECT_TRUE(rig.messenger().shown.isEmpty());
  }
}

TEST_P(ExchangeTest, ProbeIgnoresTheTrafficFlags) {
  CommRig rig(GetParam(), 0);
  rig.state().comm_suspended = true;
  rig.state().transfer_lock = true;
  rig.state().comm_ready = false;
  rig.comm().table()[0].online = false;
  EXPECT_TRUE(rig.comm().ProbeDevice(0));
  const QByteArray probe = rig.device()->ReceivedPackets().front();
  EXPECT_EQ(static_cast<uint8_t>(probe[3]), kCmdProbeA);
  EXPECT_EQ(rig.state().rx_buffer[11], kProbeAck);
}

TEST_P(ExchangeTest, ProbeOfASilentDeviceIsFalse) {
  CommRig rig(GetParam(), 1);
  rig.device()->SetSilent(true);
  EXPECT_FALSE(rig.comm().ProbeDevice(0));
  EXPECT_EQ(static_cast<uint8_t>(rig.device()->ReceivedPackets().front()[3]), kCmdProbeB);
}

INSTANTIATE_TEST_SUITE_P(Transports, ExchangeTest,
                         ::testing::Values(Transport::kTcp, Transport::kPty),
                         [](const auto& info) { return std::string(TransportName(info.param)); });

TEST(SerialExchange, UnopenablePortFailsWithoutMessageOrSending) {
  tessaly::test::RecordingMessenger messenger;
  Comm comm(messenger);
  comm.state().comm_ready = true;
  comm.state().report_link_loss = true;
  comm.state().com_port = 7;
  comm.com_ports().Map(7, QStringLiteral("/nonexistent/tessaly-port"));
  comm.table().Register(0, {kLinkUsb, {}, 0, 0, {}});
  EXPECT_EQ(comm.TxCommand(0, 1, {1}), -1);
  EXPECT_TRUE(messenger.shown.isEmpty());
  EXPECT_TRUE(comm.table()[0].online);
  EXPECT_TRUE(comm.state().tx_idle);
  EXPECT_FALSE(comm.ProbeDevice(0));
  EXPECT_EQ(comm.TxPoll(0, kCmdKeepAlive), -1);
}

TEST(TcpExchange, UnreachableAddressFailsWithinTheConnectWait) {
  tessaly::test::RecordingMessenger messenger;
  Comm comm(messenger);
  ASSERT_EQ(comm.tcp().Initialise(kSlotCount), 0);
  // Nothing listens on this loopback port: refused at once.
  EXPECT_NE(comm.tcp().Connect(0, QStringLiteral("127.0.0.3"), 9, 200), 0);
  EXPECT_FALSE(comm.tcp().IsConnected(0));
  EXPECT_NE(comm.tcp().Connect(40, QStringLiteral("127.0.0.3"), 9, 200), 0);
  QByteArray reply;
  EXPECT_NE(comm.tcp().Receive(0, reply, 13, 100), 0);
}

}  // namespace
}  // namespace tessaly::comm::test
