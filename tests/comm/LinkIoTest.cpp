#include <gtest/gtest.h>

#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include "comm/LinkIo.h"
#include "comm/Packet.h"
#include "comm/ReplyChannel.h"
#include "device/Commands.h"
#include "device/PacketFormat.h"
#include "device/Slots.h"
#include "sim/SimHost.h"
#include "support/TestPorts.h"

namespace tessaly::comm {
namespace {

constexpr int kJunk = 6;

// A device that follows every reply with six junk bytes, reached through the kind of Qt line the
// exchange layer holds: the junk is what a line carries beyond the reply an exchange asked for.
class JunkLine : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    const bool tcp = GetParam();
    sim::SimDeviceConfig config{.type = 0};
    config.link = tcp ? sim::SimLinkKind::kTcp : sim::SimLinkKind::kPty;
    config.address = QStringLiteral("127.0.0.43");
    config.port = tessaly::test::ReservedPort();
    config.faults.garbage = kJunk;
    const int index = host_.Start(config);
    ASSERT_GE(index, 0);
    if (tcp) {
      socket_.connectToHost(host_.address(index), host_.port(index));
      ASSERT_TRUE(socket_.waitForConnected(2000));
      io_ = &socket_;
    } else {
      port_.setPortName(host_.pty_path(index));
      ASSERT_TRUE(port_.open(QIODevice::ReadWrite));
      ASSERT_TRUE(port_.setBaudRate(57600));
      io_ = &port_;
    }
    packet_ =
        FramePacket(0, device::kCmdKeepAlive, {}, {}, tcp ? device::kLinkTcp : device::kLinkUsb);
  }

  // Sends a keep-alive and takes its reply; the junk follows it on the line.
  void Exchange() {
    ASSERT_TRUE(SendAll(*io_, packet_, QDeadlineTimer(1000)));
    QByteArray reply;
    ASSERT_EQ(ReceiveExactly(*io_, reply, kPlainPacketLength, QDeadlineTimer(2000)), kReceiveOk);
    EXPECT_EQ(static_cast<uint8_t>(reply[device::kCommandByte]), device::kCmdKeepAlive);
    QThread::msleep(30);  // the junk has surely arrived
  }

  sim::SimHost host_;
  QTcpSocket socket_;
  QSerialPort port_;
  QIODevice* io_ = nullptr;
  QByteArray packet_;
};

TEST_P(JunkLine, ReadsTakeOnlyWhatIsAskedAndStaleBytesAreDroppedBeforeTheNextSend) {
  Exchange();
  QByteArray rest;
  EXPECT_EQ(ReceiveExactly(*io_, rest, kJunk, QDeadlineTimer(1000)), kReceiveOk);
  EXPECT_EQ(rest.size(), kJunk);

  Exchange();
  DiscardStale(*io_);
  EXPECT_EQ(ReceiveExactly(*io_, rest, 1, QDeadlineTimer(100)), kReceiveTimeout);
}

INSTANTIATE_TEST_SUITE_P(Lines, JunkLine, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "Tcp" : "Pty"); });

// A device played by the test itself on a loop-back TCP connection, so it can put any bytes on
// the line at any moment. The request is a keep-alive; answers differ in their first parameter.
struct StaleCase {
  const char* name;
  QByteArray first;   // the answer to a first request
  int pause_ms;       // after that exchange
  QByteArray stray;   // then on the line before the next request
  QByteArray answer;  // the answer to that request
};

QByteArray Answer(uint8_t mark) {
  return FramePacket(0, device::kCmdKeepAlive, {mark}, {}, device::kLinkTcp);
}

class StaleBytes : public ::testing::TestWithParam<StaleCase> {};

TEST_P(StaleBytes, OnlyTheAnswerSentAfterTheRequestIsTaken) {
  QTcpServer server;
  ASSERT_TRUE(
      server.listen(QHostAddress(QStringLiteral("127.0.0.44")), tessaly::test::ReservedPort()));
  QTcpSocket line;
  line.connectToHost(server.serverAddress(), server.serverPort());
  ASSERT_TRUE(line.waitForConnected(2000) && server.waitForNewConnection(2000));
  QTcpSocket* device = server.nextPendingConnection();
  ReplyChannel channel;
  const auto exchange = [&](const QByteArray& answer, QByteArray& reply) {
    const QByteArray request = Answer(0);
    if (!channel.Send(line, request)) return kReceiveClosed;
    while (device->bytesAvailable() < request.size() && device->waitForReadyRead(1000)) {
    }
    device->readAll();
    device->write(answer);
    device->waitForBytesWritten(1000);
    return channel.Receive(line, reply, kPlainPacketLength, QDeadlineTimer(1000));
  };
  QByteArray reply;
  ASSERT_EQ(exchange(GetParam().first, reply), kReceiveOk);
  QThread::msleep(GetParam().pause_ms);
  device->write(GetParam().stray);
  device->waitForBytesWritten(1000);
  QThread::msleep(GetParam().pause_ms);
  ASSERT_EQ(exchange(GetParam().answer, reply), kReceiveOk);
  EXPECT_EQ(reply, Answer(3));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StaleBytes,
    ::testing::Values(
        StaleCase{"StrayAnswerLongAfterTheLastReply", Answer(1), 20, Answer(2), Answer(3)},
        StaleCase{"JunkAheadOfTheAnswerInOneRead", Answer(1), 0, {}, "junk!" + Answer(3)},
        // More than one read takes: the stray answer is still on the line at the next send.
        StaleCase{"StrayAnswerBeyondTheReadAhead",
                  Answer(1) + QByteArray(kReadAhead, '\0') + Answer(2),
                  0,
                  {},
                  Answer(3)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessaly::comm
