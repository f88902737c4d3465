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
QByteArray Data(const ExchangeResult& result, int count) { return result.reply().mid(4, count); }

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

TEST_P(ExchangeTest, PacketsReachTheDeviceAndEachExchangeReturnsItsReply) {
  CommRig rig(GetParam(), 2);
  rig.comm().table().device_type[0] = 1;  // types 1 and 2 share a line speed
  const ExchangeResult gain = rig.comm().Exchange(0, 1, {1, 0, 0, 0, 0, 0, 0, 127});
  ASSERT_TRUE(gain.answered());
  EXPECT_EQ(rig.device()->ReceivedPackets().front().toHex(), "8d1f0001010000000000007ff7");
  EXPECT_EQ(gain.reply().size(), 13);
  EXPECT_EQ(gain.Byte(3), 1);
  EXPECT_FALSE(rig.comm().Busy());
  // A memory read brings exactly P3 + 5 bytes.
  const ExchangeResult read = rig.comm().Exchange(0, device::kCmdReadParams, {0x00, 0x40, 32});
  ASSERT_TRUE(read.answered());
  EXPECT_EQ(read.reply().size(), 37);
  EXPECT_EQ(Data(read, 32), rig.device()->Image().mid(0x40, 32));
  EXPECT_EQ(read.Byte(37), 0);  // nothing is read past the reply
  EXPECT_TRUE(read.Bytes(30, 8).empty());
  // Identify stores the reported type; byte 11 carries the connection mode, not the caller's P8.
  ASSERT_TRUE(rig.comm().Exchange(0, device::kCmdIdentify, {0, 0, 0, 0, 0, 0, 0, 7}).answered());
  EXPECT_EQ(rig.comm().table().device_type[0], 2);
  EXPECT_EQ(rig.device()->ReceivedPackets().back()[11], rig.state().connection_mode);
  // A command without reply returns at once; the next exchange still gets its own answer.
  rig.device()->ClearReceived();
  const ExchangeResult no_reply = rig.comm().Exchange(0, device::kCmdNoReply);
  EXPECT_TRUE(no_reply.answered() && no_reply.reply().isEmpty());
  EXPECT_EQ(rig.comm().Exchange(0, device::kCmdKeepAlive).Byte(device::kCommandByte),
            device::kCmdKeepAlive);
  EXPECT_EQ(rig.device()->ReceivedCommands(),
            (QList<uint8_t>{device::kCmdNoReply, device::kCmdKeepAlive}));
}

TEST_P(ExchangeTest, TrafficStateAndSlotsThatForbidSendingSendNothing) {
  // Each arrangement returns what must stay alive while the request is made.
  using Arrange = std::function<std::shared_ptr<void>(CommRig&)>;
  const std::pair<int, Arrange> cases[] = {
      {0, [](CommRig& r) { return r.comm().SuspendTraffic(true), nullptr; }},
      {0, [](CommRig& r) { return std::make_shared<TransferLock>(r.comm()); }},
      {0, [](CommRig& r) { return r.comm().table()[0].online = false, nullptr; }},
      {-1, [](CommRig&) { return nullptr; }},
      {33, [](CommRig&) { return nullptr; }},
      {5, [](CommRig&) { return nullptr; }},  // unused slot
  };
  for (const auto& [slot, arrange] : cases) {
    SCOPED_TRACE(&arrange - &cases[0].second);
    CommRig rig(GetParam(), 0);
    Traffic traffic(rig.comm());
    const std::shared_ptr<void> keep = arrange(rig);
    EXPECT_EQ(rig.comm().Exchange(slot, 1, {1, 0, 0, 0, 0, 0, 0, 100}).status(),
              ExchangeStatus::kHeld);
    EXPECT_EQ(rig.comm().Transmit(slot, 1, {}), 0);  // kept back on purpose: no loss
    EXPECT_TRUE(traffic.sent.isEmpty());
    EXPECT_FALSE(rig.comm().Busy());
    EXPECT_EQ(rig.device()->ReceivedCount(), 0);
    EXPECT_TRUE(rig.messenger().shown.isEmpty());
  }
}

// A lost reply closes the link; reported, it also marks the row off-line and tells the editors.
TEST_P(ExchangeTest, LostReplyClosesTheLinkAndIsReportedOutsideDiscovery) {
  for (const bool report : {true, false}) {
    SCOPED_TRACE(report);
    CommRig rig(GetParam(), 0);
    rig.comm().ReportLinkLoss(report);
    rig.comm().table()[0].editor_open = true;
    rig.comm().table().device_data_valid[0] = 1;
    rig.comm().table().device_needs_read[0] = false;
    QSignalSpy lost_signals(&rig.comm(), &Comm::deviceLost);
    rig.device()->SetSilent(true);
    QStringList rows_while_shown;
    rig.messenger().on_show = [&](const device::Message&) {
      rows_while_shown << rig.state().row_text[0];
    };

    const ExchangeResult lost = rig.comm().Exchange(0, kShortWaitCommand);
    EXPECT_EQ(lost.status(), ExchangeStatus::kUnanswered);
    EXPECT_TRUE(lost.reply().isEmpty());
    EXPECT_EQ(lost.loss_reported(), report);
    EXPECT_FALSE(rig.LinkOpen());
    EXPECT_FALSE(rig.comm().Busy());
    if (!report) {
      EXPECT_TRUE(rig.messenger().shown.isEmpty());
      EXPECT_TRUE(rig.comm().table()[0].online);
      EXPECT_TRUE(rig.state().row_text[0].isEmpty());
      EXPECT_EQ(lost_signals.count(), 0);
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
    EXPECT_EQ(rows_while_shown, QStringList{rig.state().row_text[0]});
    EXPECT_FALSE(rig.comm().table()[0].online);
    EXPECT_EQ(rig.comm().table().device_data_valid[0], 0);
    EXPECT_TRUE(rig.comm().table().device_needs_read[0]);
    ASSERT_EQ(lost_signals.count(), 1);
    EXPECT_EQ(lost_signals.front().front().toInt(), 0);
    EXPECT_EQ(lost_signals.front().back().toString(), QString::fromLatin1(kLostReplyReason));
  }
}

// The lost answer to a request of the same command and length would pass every check of the
// next one's: a new connection leaves it behind; a serial line is drained until quiet when it is
// opened again, and the same command waits out its late answer (either defence alone passes).
TEST_P(ExchangeTest, AfterALostReplyTheNextExchangeStartsOnACleanLine) {
  CommRig rig(GetParam(), 0);
  rig.comm().ReportLinkLoss(false);
  rig.device()->SetDelayMs(ScaledMs(kShortWaitMs) + 40);
  EXPECT_EQ(rig.comm().Exchange(0, kShortWaitCommand, {1}).status(), ExchangeStatus::kUnanswered);
  rig.device()->ClearFaults();
  rig.Relink();
  const ExchangeResult next = rig.comm().Exchange(0, kShortWaitCommand, {2});
  ASSERT_TRUE(next.answered());
  EXPECT_EQ(next.Byte(4), 2);  // the device echoes P1
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
    EXPECT_EQ(rig.comm().Exchange(0, kShortWaitCommand).failed(), fails);
    EXPECT_EQ(rig.messenger().shown.size(), fails ? 1 : 0);
    rig.device()->ClearFaults();
    if (fails) rig.Relink();
    const ExchangeResult next = rig.comm().Exchange(0, device::kCmdReadParams, {0x00, 0x20, 32});
    ASSERT_TRUE(next.answered());
    EXPECT_EQ(next.Byte(3), device::kCmdReadParams);
    EXPECT_EQ(Data(next, 32), rig.device()->Image().mid(0x20, 32));
  }
}

// The keep-alive keeps its link after a miss, so the missed answer can still turn up ahead of the
// next one; it must be recognised and skipped, whether or not it has the next answer's length.
TEST_P(ExchangeTest, LateKeepAliveAnswerIsNotTakenForTheNextOne) {
  for (const int data_bytes : {0, 32}) {
    SCOPED_TRACE(data_bytes);
    CommRig rig(GetParam(), 0);
    rig.device()->SetDelayMs(ScaledMs(kPollWaitMs + 300));
    EXPECT_EQ(rig.comm().Poll(0, device::kCmdKeepAlive).status(), ExchangeStatus::kUnanswered);
    EXPECT_TRUE(rig.LinkOpen());
    const uint8_t command = data_bytes > 0 ? device::kCmdReadParams : 1;
    const Params params = data_bytes > 0 ? Params{0x00, 0x40, 32} : Params{1, 0, 0, 0, 0, 0, 0, 1};
    const ExchangeResult next = rig.comm().Exchange(0, command, params);
    ASSERT_TRUE(next.answered());
    EXPECT_EQ(next.Byte(3), command);
    EXPECT_EQ(Data(next, data_bytes), rig.device()->Image().mid(0x40, data_bytes));
    EXPECT_TRUE(rig.messenger().shown.isEmpty());
  }
}

TEST_P(ExchangeTest, ProbeIgnoresTheTrafficStateAndFailsOnASilentDevice) {
  CommRig rig(GetParam(), 0);
  rig.comm().SuspendTraffic(true);
  const TransferLock lock(rig.comm());
  rig.comm().table()[0].online = false;
  const ExchangeResult probe = rig.comm().ProbeDevice(0);
  EXPECT_TRUE(ProbeAcknowledged(probe));
  EXPECT_EQ(rig.device()->ReceivedPackets().front()[3], device::kCmdProbeA);
  EXPECT_EQ(probe.Byte(11), device::kProbeAck);
  CommRig silent(GetParam(), 1);
  silent.device()->SetSilent(true);
  EXPECT_FALSE(ProbeAcknowledged(silent.comm().ProbeDevice(0)));
  EXPECT_EQ(silent.device()->ReceivedPackets().front()[3], device::kCmdProbeB);
}

// A device that answers every request later than the probe waits: both probes fail honestly, and
// every exchange after them reads its own answer, not a straggler of the one before.
TEST_P(ExchangeTest, LateDeviceNeverShiftsTheAnswers) {
  CommRig rig(GetParam(), 3);
  rig.comm().ReportLinkLoss(false);
  Traffic traffic(rig.comm());
  // Half the wait again late: a loaded machine cannot make it look on time, and it still comes
  // before the wait-out of the late answer ends.
  rig.device()->SetDelayMs(ScaledMs(kProbeWaitMs) * 3 / 2);

  EXPECT_FALSE(ProbeAcknowledged(rig.comm().ProbeDevice(0)));
  EXPECT_FALSE(ProbeAcknowledged(rig.comm().ProbeDevice(0)));
  const ExchangeResult identified = rig.comm().Exchange(0, device::kCmdIdentify);
  ASSERT_TRUE(identified.answered());
  EXPECT_EQ(identified.Byte(device::kReplyTypeByte), 3);
  const ExchangeResult name = rig.comm().Exchange(0, device::kCmdReadSettings, {0, 0, 16});
  ASSERT_TRUE(name.answered());
  EXPECT_EQ(Data(name, 16), rig.device()->Settings().left(16));
  ASSERT_TRUE(rig.comm().Exchange(0, device::kCmdReadSettings, {0, 0, 16}).answered());
  const ExchangeResult image = rig.comm().Exchange(0, device::kCmdReadParams, {0x00, 0x40, 32});
  ASSERT_TRUE(image.answered());
  EXPECT_EQ(Data(image, 32), rig.device()->Image().mid(0x40, 32));

  // Each reply read answers the packet sent just before it.
  ASSERT_EQ(traffic.order,
            (QList<bool>{true, true, true, false, true, false, true, false, true, false}));
  for (int i = 0; i < traffic.read.size(); ++i) {
    EXPECT_EQ(traffic.read[i].at(device::kCommandByte),
              traffic.sent[i + 2].at(device::kCommandByte))
        << i;
  }
}

// The wait runs a local event loop: timers fire, but whatever they ask of the line inside the wait
// is refused as busy, never started there; past a second the windows are told which device is
// awaited.
TEST_P(ExchangeTest, WaitRunsTimersWithoutANestedExchangeAndNamesTheDevice) {
  CommRig rig(GetParam(), 0);
  rig.comm().EnterOnlineMode();
  QSignalSpy waiting(&rig.comm(), &Comm::waitingForDevice);
  QSignalSpy finished(&rig.comm(), &Comm::waitFinished);
  QList<ExchangeStatus> nested;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    rig.comm().KeepAliveTick();
    nested << rig.comm().Exchange(0, device::kCmdMeters).status() << rig.comm().Poll(0, 58).status()
           << rig.comm().ProbeDevice(0).status();
    EXPECT_EQ(rig.comm().Transmit(0, 1, {1}), -1);
  });
  tick.start(ScaledMs(50));
  rig.device()->SetDelayMs(ScaledMs(1500));

  const ExchangeResult versions = rig.comm().Exchange(0, device::kCmdVersions);
  ASSERT_TRUE(versions.answered());

  ASSERT_FALSE(nested.isEmpty());
  EXPECT_EQ(nested.count(ExchangeStatus::kBusy), nested.size());
  EXPECT_EQ(rig.device()->ReceivedCommands(), QList<uint8_t>{device::kCmdVersions});
  EXPECT_EQ(versions.Byte(device::kCommandByte), device::kCmdVersions);
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
  comm.OpenTraffic();
  comm.ReportLinkLoss(true);
  comm.state().com_port = 7;
  comm.com_ports().Map(7, QStringLiteral("/nonexistent/tessaly-port"));
  comm.table().Register(0, {kLinkUsb, {}, 0, 0, {}});
  EXPECT_EQ(comm.Transmit(0, 1, {1}), -1);
  EXPECT_EQ(comm.Exchange(0, 1, {1}).status(), ExchangeStatus::kSendFailed);
  EXPECT_TRUE(messenger.shown.isEmpty());
  EXPECT_TRUE(comm.table()[0].online);
  EXPECT_FALSE(comm.Busy());
  EXPECT_EQ(comm.ProbeDevice(0).status(), ExchangeStatus::kSendFailed);
  EXPECT_EQ(comm.Poll(0, device::kCmdKeepAlive).status(), ExchangeStatus::kSendFailed);
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
