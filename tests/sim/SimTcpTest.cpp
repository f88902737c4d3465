#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpSocket>
#include <memory>

#include "SimClient.h"
#include "comm/Commands.h"
#include "sim/SimLayout.h"
#include "support/SimHarness.h"

namespace tessaly::sim {
namespace {

using testing::At;
using testing::BlockRequest;
using testing::Drain;
using testing::Exchange;
using testing::ReadRequest;
using testing::ReadUpTo;
using testing::Request;
using testing::SendAll;

class SimTcpTest : public ::testing::Test {
 protected:
  SimTcpTest() { test::EnsureCoreApplication(); }

  std::unique_ptr<QTcpSocket> Connect(int index) {
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(sim_.address(index), sim_.port());
    EXPECT_TRUE(socket->waitForConnected(3000)) << socket->errorString().toStdString();
    return socket;
  }

  test::SimHarness sim_;
};

TEST_F(SimTcpTest, EveryTypeIdentifiesAndAnswersTheNetworkProbe) {
  for (int type = 0; type < 4; ++type) {
    const int index = sim_.AddTcp(type);
    ASSERT_GE(index, 0);
    auto socket = Connect(index);
    const QByteArray probe = Exchange(*socket, Request(comm::kCmdProbeA), 13);
    ASSERT_EQ(probe.size(), 13) << "type " << type;
    EXPECT_EQ(At(probe, 11), comm::kProbeAck);
    const QByteArray identify = Exchange(*socket, Request(comm::kCmdIdentify), 13);
    ASSERT_EQ(identify.size(), 13);
    EXPECT_EQ(At(identify, 8), type);
  }
}

TEST_F(SimTcpTest, DevicesOnSeveralAddressesKeepTheirOwnState) {
  const int a = sim_.AddTcp({.type = 3, .name = QStringLiteral("Main PA")});
  const int b = sim_.AddTcp({.type = 0, .name = QStringLiteral("Stage Left Amp")});
  ASSERT_GE(b, 0);
  EXPECT_NE(sim_.address(a), sim_.address(b));
  EXPECT_TRUE(sim_.address(a).startsWith(QStringLiteral("127.0.0.")));
  auto to_a = Connect(a);
  auto to_b = Connect(b);
  EXPECT_EQ(Exchange(*to_a, ReadRequest(comm::kCmdReadSettings, 0, 16), 21).mid(4, 16),
            QByteArray("Main PA         "));
  EXPECT_EQ(Exchange(*to_b, ReadRequest(comm::kCmdReadSettings, 0, 16), 21).mid(4, 16),
            QByteArray("Stage Left Amp  "));
  EXPECT_EQ(At(Exchange(*to_b, Request(comm::kCmdIdentify), 13), 8), 0);
  EXPECT_EQ(sim_.device(a).ReceivedCount(), 1);
  EXPECT_EQ(sim_.device(b).ReceivedCount(), 2);
}

TEST_F(SimTcpTest, BlockWriteThenReadBackOverTheWire) {
  const int index = sim_.AddTcp(0);
  auto socket = Connect(index);
  std::vector<uint8_t> data(32);
  for (int i = 0; i < 32; ++i) data[i] = static_cast<uint8_t>(i * 7);
  ASSERT_EQ(Exchange(*socket, BlockRequest(comm::kCmdWriteBlock, 64, data), 13).size(), 13);
  const QByteArray reply = Exchange(*socket, ReadRequest(comm::kCmdReadParams, 64, 32), 37);
  EXPECT_EQ(reply.mid(4, 32), QByteArray(reinterpret_cast<const char*>(data.data()), 32));
  EXPECT_EQ(sim_.device(index).Image().mid(64, 32), reply.mid(4, 32));
}

TEST_F(SimTcpTest, SettingsByteWriteReachesTheMemory) {
  const int index = sim_.AddTcp(3);
  auto socket = Connect(index);
  ASSERT_EQ(Exchange(*socket, Request(17, {0, 21, 0, 0, 6}), 13).size(), 13);
  EXPECT_EQ(At(sim_.device(index).Settings(), kTriggerAddress), 6);
  EXPECT_EQ(At(Exchange(*socket, ReadRequest(comm::kCmdReadSettings, 16, 16), 21), 4 + 5), 6);
}

TEST_F(SimTcpTest, MeterRepliesAndTheCommandWithoutReply) {
  const int a = sim_.AddTcp(2);
  const int b = sim_.AddTcp(3);
  auto to_a = Connect(a);
  auto to_b = Connect(b);
  EXPECT_EQ(Exchange(*to_a, Request(comm::kCmdMeters), 64, 500).size(), 33);
  EXPECT_EQ(Exchange(*to_b, Request(comm::kCmdMeters), 64, 500).size(), 42);
  ASSERT_TRUE(SendAll(*to_a, Request(comm::kCmdNoReply)));
  EXPECT_TRUE(Drain(*to_a, 300).isEmpty());
  EXPECT_EQ(sim_.device(a).ReceivedCommands().back(), comm::kCmdNoReply);
}

TEST_F(SimTcpTest, GarbageAndSplitPacketsAreResynchronised) {
  const int index = sim_.AddTcp(1);
  auto socket = Connect(index);
  const QByteArray request = Request(comm::kCmdIdentify);
  ASSERT_TRUE(SendAll(*socket, QByteArray::fromHex("00ff8d1f5a") + request.left(3)));
  socket->waitForReadyRead(100);
  ASSERT_TRUE(SendAll(*socket, request.mid(3, 6)));
  socket->waitForReadyRead(100);
  ASSERT_TRUE(SendAll(*socket, request.mid(9)));
  const QByteArray reply = ReadUpTo(*socket, 13, 3000);
  ASSERT_EQ(reply.size(), 13);
  EXPECT_EQ(At(reply, 8), 1);
  EXPECT_EQ(sim_.device(index).ReceivedPackets(), QList<QByteArray>{request});
}

TEST_F(SimTcpTest, PortScanConnectionsDisturbNothing) {
  const int index = sim_.AddTcp(0);
  auto socket = Connect(index);
  for (int i = 0; i < 5; ++i) {
    QTcpSocket scan;
    scan.connectToHost(sim_.address(index), sim_.port());
    ASSERT_TRUE(scan.waitForConnected(3000));
    if (i % 2 == 0) scan.abort();  // reset as well as an orderly close
  }
  EXPECT_EQ(Exchange(*socket, Request(comm::kCmdKeepAlive), 13).size(), 13);
  EXPECT_EQ(sim_.device(index).ReceivedCount(), 1);
}

TEST_F(SimTcpTest, SilentAndSilentAfter) {
  const int index = sim_.AddTcp(0);
  auto socket = Connect(index);
  sim_.device(index).SetSilent(true);
  EXPECT_TRUE(Exchange(*socket, Request(comm::kCmdKeepAlive), 13, 300).isEmpty());
  sim_.device(index).SetSilent(false);
  sim_.device(index).SetSilentAfter(1);
  EXPECT_EQ(Exchange(*socket, Request(comm::kCmdKeepAlive), 13, 2000).size(), 13);
  EXPECT_TRUE(Exchange(*socket, Request(comm::kCmdKeepAlive), 13, 300).isEmpty());
  EXPECT_EQ(sim_.device(index).ReceivedCount(), 3);
}

TEST_F(SimTcpTest, DelayedReplyComesLate) {
  const int index = sim_.AddTcp(0);
  auto socket = Connect(index);
  sim_.device(index).SetDelayMs(400);
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(SendAll(*socket, Request(comm::kCmdKeepAlive)));
  EXPECT_TRUE(ReadUpTo(*socket, 13, 150).isEmpty());
  EXPECT_EQ(ReadUpTo(*socket, 13, 3000).size(), 13);
  EXPECT_GE(clock.elapsed(), 350);
}

TEST_F(SimTcpTest, TruncatedAndGarbledReplies) {
  const int index = sim_.AddTcp(3);
  auto socket = Connect(index);
  sim_.device(index).SetTruncate(7);
  EXPECT_EQ(Exchange(*socket, Request(comm::kCmdIdentify), 13, 400).size(), 7);
  sim_.device(index).SetTruncate(-1);
  sim_.device(index).SetGarbage(4);
  ASSERT_TRUE(SendAll(*socket, Request(comm::kCmdIdentify)));
  const QByteArray reply = Drain(*socket, 400);
  ASSERT_EQ(reply.size(), 17);
  EXPECT_EQ(At(reply, 8), 3);
  EXPECT_EQ(At(reply, 12), 0xF7);
}

TEST_F(SimTcpTest, DisconnectDropsTheConnectionButNotTheDevice) {
  const int index = sim_.AddTcp(0);
  auto socket = Connect(index);
  sim_.device(index).DisconnectOnNextPacket();
  ASSERT_TRUE(SendAll(*socket, Request(comm::kCmdKeepAlive)));
  socket->waitForDisconnected(3000);
  EXPECT_EQ(socket->state(), QAbstractSocket::UnconnectedState);
  auto again = Connect(index);
  EXPECT_EQ(Exchange(*again, Request(comm::kCmdKeepAlive), 13).size(), 13);
}

TEST_F(SimTcpTest, StoppedDeviceRefusesConnections) {
  const int index = sim_.AddTcp(0);
  sim_.Stop(index);
  QTcpSocket socket;
  socket.connectToHost(sim_.address(index), sim_.port());
  EXPECT_FALSE(socket.waitForConnected(1000));
}

}  // namespace
}  // namespace tessaly::sim
