#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTimer>

#include "CommRig.h"
#include "comm/ReplyWaits.h"
#include "comm/TimeScale.h"
#include "device/Commands.h"

namespace tessaly::comm::test {
namespace {

// Commands of the 2000 ms class keep the lost-reply cases short.
constexpr uint8_t kShortWaitCommand = 18;

// `count` reply bytes from byte 4 on.
QByteArray Data(CommRig& rig, int count) {
  return QByteArray(reinterpret_cast<const char*>(rig.state().rx_buffer.data()) + 4, count);
}

QString Where(Transport transport) {
  return transport == Transport::kTcp ? QStringLiteral("IP:127.0.0.2") : QStringLiteral("USB COM3");
}

// Every packet sent and every reply read, in order.
struct Traffic {
  explicit Traffic(Comm& comm) {
    comm.set_trace([this](bool outgoing, const QByteArray& bytes) {
      (outgoing ? sent : read) << bytes;
      order << outgoing;
    });
  }
  QList<QByteArray> sent, read;
  QList<bool> order;
};

class ExchangeTest : public ::testing::TestWithParam<Transport> {};

TEST_P(ExchangeTest, PacketsReachTheDeviceAndRepliesLandInRxBuffer) {
  CommRig rig(GetParam(), 2);
  rig.comm().table().device_type[0] = 1;  // types 1 and 2 share a line speed
  ASSERT_EQ(rig.comm().TxCommand(0, 1, {1, 0, 0, 0, 0, 0, 0, 127}), 0);
  EXPECT_EQ(rig.device()->ReceivedPackets().front().toHex(), "8d1f0001010000000000007ff7");
  EXPECT_EQ(rig.state().rx_buffer[3], 1);
  EXPECT_TRUE(rig.state().tx_idle);
  // A memory read brings P3 + 5 bytes; bytes past the reply keep their older contents.
  rig.state().rx_buffer.fill(0xEE);
  ASSERT_EQ(rig.comm().TxCommand(0, device::kCmdReadParams, {0x00, 0x40, 32}), 0);
  EXPECT_EQ(Data(rig, 32), rig.device()->Image().mid(0x40, 32));
  EXPECT_EQ(rig.state().rx_buffer[37], 0xEE);
  // Identify stores the reported type; byte 11 carries the connection mode, not the caller's P8.
  ASSERT_EQ(rig.comm().TxCommand(0, device::kCmdIdentify, {0, 0, 0, 0, 0, 0, 0, 7}), 0);
  EXPECT_EQ(rig.comm().table().device_type[0], 2);
  EXPECT_EQ(rig.device()->ReceivedPackets().back()[11], rig.state().connection_mode);
  // A command without reply returns at once; the next exchange still gets its own answer.
  rig.device()->ClearReceived();
  EXPECT_EQ(rig.comm().TxCommand(0, device::kCmdNoReply), 0);
  ASSERT_EQ(rig.comm().TxCommand(0, device::kCmdKeepAlive), 0);
  EXPECT_EQ(rig.device()->ReceivedCommands(),
            (QList<uint8_t>{device::kCmdNoReply, device::kCmdKeepAlive}));
}

TEST_P(ExchangeTest, FlagsAndSlotsThatForbidSendingSendNothing) {
  const std::pair<int, std::function<void(CommRig&)>> cases[] = {
      {0, [](CommRig& r) { r.state().comm_suspended = true; }},
      {0, [](CommRig& r) { r.state().transfer_lock = true; }},
      {0, [](CommRig& r) { r.state().comm_ready = false; }},
      {0, [](CommRig& r) { r.comm().table()[0].online = false; }},
      {-1, [](CommRig&) {}},
      {33, [](CommRig&) {}},
      {5, [](CommRig&) {}},  // unused slot
  };
  for (const auto& [slot, arrange] : cases) {
    SCOPED_TRACE(&arrange - &cases[0].second);
    CommRig rig(GetParam(), 0);
    Traffic traffic(rig.comm());
    arrange(rig);
    EXPECT_EQ(rig.comm().TxCommand(slot, 1, {1, 0, 0, 0, 0, 0, 0, 100}), 0);
    EXPECT_EQ(rig.comm().SendCommand(slot, 1).send, SendOutcome::kHeld);
    EXPECT_TRUE(traffic.sent.isEmpty());
    EXPECT_TRUE(rig.state().tx_idle);
    EXPECT_EQ(rig.device()->ReceivedCount(), 0);
    EXPECT_TRUE(rig.messenger().shown.isEmpty());
  }
}

// A lost reply closes the link; reported, it also marks the row off-line and closes the editor.
TEST_P(ExchangeTest, LostReplyClosesTheLinkAndIsReportedOutsideDiscovery) {
  for (const bool report : {true, false}) {
    SCOPED_TRACE(report);
    CommRig rig(GetParam(), 0);
    rig.state().report_link_loss = report;
    rig.comm().table()[0].editor_open = true;
    rig.comm().table().device_data_valid[0] = 1;
    rig.comm().table().device_needs_read[0] = false;
    QSignalSpy close_requests(&rig.comm(), &Comm::EditorCloseRequested);
    rig.device()->SetSilent(true);
    rig.state().rx_buffer.fill(0x5A);

    EXPECT_EQ(rig.comm().TxCommand(0, kShortWaitCommand), report ? -1 : 0);
    EXPECT_FALSE(rig.LinkOpen());
    EXPECT_TRUE(rig.state().tx_idle);
    EXPECT_EQ(rig.state().rx_buffer[0], 0x5A);  // a failed exchange leaves the last reply alone
    if (!report) {
      EXPECT_TRUE(rig.messenger().shown.isEmpty());
      EXPECT_TRUE(rig.comm().table()[0].online);
      EXPECT_TRUE(rig.state().row_text[0].isEmpty());
      EXPECT_EQ(close_requests.count(), 0);
      continue;
    }
    ASSERT_EQ(rig.messenger().shown.size(), 1);
    const device::Message& message = rig.messenger().shown.front();
    EXPECT_EQ(message.icon, device::MessageIcon::kExclamation);
    EXPECT_EQ(message.title, QStringLiteral("Communication problem"));
    EXPECT_EQ(message.text,
              QStringLiteral("The system will be close the communication with the device. \n"
                             "To reconnect with device, please select device from the Device "
                             "List window.\nRK-540 - ") +
                  Where(GetParam()));
    EXPECT_EQ(rig.state().row_text[0], (GetParam() == Transport::kTcp ? "IP:127.0.0.2" : "USB") +
                                           QStringLiteral(" -  RK-540  - Off-line"));
    EXPECT_FALSE(rig.comm().table()[0].online);
    EXPECT_EQ(rig.comm().table().device_data_valid[0], 0);
    EXPECT_TRUE(rig.comm().table().device_needs_read[0]);
    ASSERT_EQ(close_requests.count(), 1);
    EXPECT_EQ(close_requests.front().front().toInt(), 0);
  }
}

// Every kind of bad answer fails the exchange the way a lost reply does, and once the device is
// reached again the next exchange gets its own answer, not leftovers of the bad one.
TEST_P(ExchangeTest, BadRepliesFailLikeLostOnesAndDoNotPoisonTheNextExchange) {
  const std::pair<std::function<void(sim::SimDevice&)>, bool> cases[] = {
      {[](sim::SimDevice& d) { d.SetTruncate(7); }, true},
      {[](sim::SimDevice& d) { d.SetDelayMs(ScaledMs(2400)); }, true},
      {[](sim::SimDevice& d) { d.DisconnectOnNextPacket(); }, true},
      {[](sim::SimDevice& d) { d.SetGarbage(9); }, false},
  };
  for (const auto& [fault, fails] : cases) {
    SCOPED_TRACE(&fault - &cases[0].first);
    CommRig rig(GetParam(), 0);
    fault(*rig.device());
    EXPECT_EQ(rig.comm().TxCommand(0, kShortWaitCommand), fails ? -1 : 0);
    EXPECT_EQ(rig.messenger().shown.size(), fails ? 1 : 0);
    rig.device()->ClearFaults();
    if (fails) rig.Relink();
    ASSERT_EQ(rig.comm().TxCommand(0, device::kCmdReadParams, {0x00, 0x20, 32}), 0);
    EXPECT_EQ(rig.state().rx_buffer[3], device::kCmdReadParams);
    EXPECT_EQ(Data(rig, 32), rig.device()->Image().mid(0x20, 32));
  }
}

// The keep-alive keeps its link after a miss, so the missed answer can still turn up ahead of the
// next one; it must be recognised and skipped, whether or not it has the next answer's length.
TEST_P(ExchangeTest, LateKeepAliveAnswerIsNotTakenForTheNextOne) {
  for (const int data_bytes : {0, 32}) {
    SCOPED_TRACE(data_bytes);
    CommRig rig(GetParam(), 0);
    rig.device()->SetDelayMs(ScaledMs(kPollWaitMs + 300));
    EXPECT_EQ(rig.comm().TxPoll(0, device::kCmdKeepAlive), -1);
    EXPECT_TRUE(rig.LinkOpen());
    const uint8_t command = data_bytes > 0 ? device::kCmdReadParams : 1;
    const Params params = data_bytes > 0 ? Params{0x00, 0x40, 32} : Params{1, 0, 0, 0, 0, 0, 0, 1};
    ASSERT_EQ(rig.comm().TxCommand(0, command, params), 0);
    EXPECT_EQ(rig.state().rx_buffer[3], command);
    EXPECT_EQ(Data(rig, data_bytes), rig.device()->Image().mid(0x40, data_bytes));
    EXPECT_TRUE(rig.messenger().shown.isEmpty());
  }
}

TEST_P(ExchangeTest, ProbeIgnoresTheTrafficFlagsAndFailsOnASilentDevice) {
  CommRig rig(GetParam(), 0);
  rig.state().comm_suspended = true;
  rig.state().transfer_lock = true;
  rig.state().comm_ready = false;
  rig.comm().table()[0].online = false;
  EXPECT_TRUE(rig.comm().ProbeDevice(0));
  EXPECT_EQ(rig.device()->ReceivedPackets().front()[3], device::kCmdProbeA);
  EXPECT_EQ(rig.state().rx_buffer[11], device::kProbeAck);
  CommRig silent(GetParam(), 1);
  silent.device()->SetSilent(true);
  EXPECT_FALSE(silent.comm().ProbeDevice(0));
  EXPECT_EQ(silent.device()->ReceivedPackets().front()[3], device::kCmdProbeB);
}

// A device that answers every request later than the probe waits: both probes fail honestly, and
// every exchange after them reads its own answer, not a straggler of the one before.
TEST_P(ExchangeTest, LateDeviceNeverShiftsTheAnswers) {
  CommRig rig(GetParam(), 3);
  rig.state().report_link_loss = false;
  Traffic traffic(rig.comm());
  rig.device()->SetDelayMs(ScaledMs(kProbeWaitMs) + ScaledMs(50));

  EXPECT_FALSE(rig.comm().ProbeDevice(0));
  EXPECT_FALSE(rig.comm().ProbeDevice(0));
  ASSERT_TRUE(rig.comm().SendCommand(0, device::kCmdIdentify).answered);
  EXPECT_EQ(rig.state().rx_buffer[device::kReplyTypeByte], 3);
  ASSERT_TRUE(rig.comm().SendCommand(0, device::kCmdReadSettings, {0, 0, 16}).answered);
  EXPECT_EQ(Data(rig, 16), rig.device()->Settings().left(16));
  ASSERT_TRUE(rig.comm().SendCommand(0, device::kCmdReadSettings, {0, 0, 16}).answered);
  ASSERT_TRUE(rig.comm().SendCommand(0, device::kCmdReadParams, {0x00, 0x40, 32}).answered);
  EXPECT_EQ(Data(rig, 32), rig.device()->Image().mid(0x40, 32));

  // Each reply read answers the packet sent just before it.
  ASSERT_EQ(traffic.order,
            (QList<bool>{true, true, true, false, true, false, true, false, true, false}));
  for (int i = 0; i < traffic.read.size(); ++i) {
    EXPECT_EQ(traffic.read[i].at(device::kCommandByte),
              traffic.sent[i + 2].at(device::kCommandByte))
        << i;
  }
}

// The wait runs a local event loop: timers fire, but the keep-alive sees TxIdle and holds back,
// and past a second the windows are told which device is awaited.
TEST_P(ExchangeTest, WaitRunsTimersWithoutANestedExchangeAndNamesTheDevice) {
  CommRig rig(GetParam(), 0);
  rig.state().online_mode = true;
  QSignalSpy waiting(&rig.comm(), &Comm::WaitingForDevice);
  QSignalSpy finished(&rig.comm(), &Comm::WaitFinished);
  int ticks = 0;
  QTimer keep_alive;
  QObject::connect(&keep_alive, &QTimer::timeout, [&] {
    ++ticks;
    rig.comm().KeepAliveTick();
  });
  keep_alive.start(ScaledMs(50));
  rig.device()->SetDelayMs(ScaledMs(1500));

  ASSERT_EQ(rig.comm().TxCommand(0, device::kCmdVersions), 0);

  EXPECT_GT(ticks, 0);
  EXPECT_EQ(rig.device()->ReceivedCommands(), QList<uint8_t>{device::kCmdVersions});
  EXPECT_EQ(rig.state().rx_buffer[device::kCommandByte], device::kCmdVersions);
  ASSERT_EQ(waiting.count(), 1);
  EXPECT_EQ(waiting.front().at(0).toInt(), 0);
  EXPECT_EQ(waiting.front().at(1).toString(), QStringLiteral("RK-540 - ") + Where(GetParam()));
  EXPECT_EQ(finished.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Transports, ExchangeTest,
                         ::testing::Values(Transport::kTcp, Transport::kPty), [](const auto& info) {
                           return std::string(info.param == Transport::kTcp ? "Tcp" : "Pty");
                         });

TEST(Exchange, UnopenablePortOrUnreachableAddressFailsWithoutMessageOrSending) {
  tessaly::test::RecordingMessenger messenger;
  Comm comm(messenger);
  comm.state().comm_ready = true;
  comm.state().report_link_loss = true;
  comm.state().com_port = 7;
  comm.com_ports().Map(7, QStringLiteral("/nonexistent/tessaly-port"));
  comm.table().Register(0, {kLinkUsb, {}, 0, 0, {}});
  EXPECT_EQ(comm.TxCommand(0, 1, {1}), -1);
  EXPECT_EQ(comm.SendCommand(0, 1, {1}).send, SendOutcome::kFailed);
  EXPECT_TRUE(messenger.shown.isEmpty());
  EXPECT_TRUE(comm.table()[0].online);
  EXPECT_TRUE(comm.state().tx_idle);
  EXPECT_FALSE(comm.ProbeDevice(0));
  EXPECT_EQ(comm.TxPoll(0, device::kCmdKeepAlive), -1);
  // Nothing listens on this loopback port: refused at once.
  ASSERT_EQ(comm.tcp().Initialise(kSlotCount), 0);
  EXPECT_NE(comm.tcp().Connect(0, QStringLiteral("127.0.0.3"), 9, 200), 0);
  EXPECT_FALSE(comm.tcp().IsConnected(0));
  EXPECT_NE(comm.tcp().Connect(40, QStringLiteral("127.0.0.3"), 9, 200), 0);
  QByteArray reply;
  EXPECT_NE(comm.tcp().Receive(0, reply, 13, 100), 0);
}

}  // namespace
}  // namespace tessaly::comm::test
