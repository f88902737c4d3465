#include <gtest/gtest.h>

#include <QSerialPort>
#include <QTcpSocket>
#include <QThread>

#include "comm/LinkIo.h"
#include "comm/Packet.h"
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

}  // namespace
}  // namespace tessaly::comm
