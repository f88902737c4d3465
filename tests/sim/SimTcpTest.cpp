#include <gtest/gtest.h>

#include <QTcpSocket>
#include <memory>

#include "SimClient.h"
#include "device/Commands.h"
#include "sim/SimLayout.h"

namespace tessaly::sim {
namespace {

using testing::At;
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

TEST_F(SimTcpTest, DevicesOnSeveralAddressesKeepTheirOwnState) {
  const int a = sim_.AddTcp({.type = 3, .name = QStringLiteral("Main PA")});
  const int b = sim_.AddTcp({.type = 2, .name = QStringLiteral("Stage Left Amp")});
  ASSERT_GE(b, 0);
  EXPECT_NE(sim_.address(a), sim_.address(b));
  auto to_a = Connect(a);
  auto to_b = Connect(b);
  EXPECT_EQ(At(Exchange(*to_a, Request(device::kCmdProbeA), 13), 11), device::kProbeAck);
  EXPECT_EQ(Exchange(*to_a, ReadRequest(device::kCmdReadSettings, 0, 16), 21).mid(4, 16),
            QByteArray("Main PA         "));
  EXPECT_EQ(Exchange(*to_b, ReadRequest(device::kCmdReadSettings, 0, 16), 21).mid(4, 16),
            QByteArray("Stage Left Amp  "));
  EXPECT_EQ(At(Exchange(*to_b, Request(device::kCmdIdentify), 13), 8), 2);
  EXPECT_EQ(sim_.device(a).ReceivedCount(), 2);
  // Meter replies follow the family; the command without reply gets none.
  EXPECT_EQ(Exchange(*to_a, Request(device::kCmdMeters), 64, 500).size(), 42);
  EXPECT_EQ(Exchange(*to_b, Request(device::kCmdMeters), 64, 500).size(), 33);
  ASSERT_TRUE(SendAll(*to_b, Request(device::kCmdNoReply)));
  EXPECT_TRUE(Drain(*to_b, 300).isEmpty());
  EXPECT_EQ(sim_.device(b).ReceivedCommands().back(), device::kCmdNoReply);
}

TEST_F(SimTcpTest, WritesReachTheMemoriesOverTheWire) {
  const int index = sim_.AddTcp(3);
  auto socket = Connect(index);
  std::vector<uint8_t> data(32);
  for (int i = 0; i < 32; ++i) data[i] = static_cast<uint8_t>(i * 7);
  const QByteArray block = testing::BlockRequest(device::kCmdWriteBlock, 64, data);
  ASSERT_EQ(Exchange(*socket, block, 13).size(), 13);
  const QByteArray reply = Exchange(*socket, ReadRequest(device::kCmdReadParams, 64, 32), 37);
  EXPECT_EQ(reply.mid(4, 32), QByteArray(reinterpret_cast<const char*>(data.data()), 32));
  EXPECT_EQ(sim_.device(index).Image().mid(64, 32), reply.mid(4, 32));
  ASSERT_EQ(Exchange(*socket, Request(17, {0, 21, 0, 0, 6}), 13).size(), 13);
  EXPECT_EQ(At(sim_.device(index).Settings(), kTriggerAddress), 6);
  EXPECT_EQ(At(Exchange(*socket, ReadRequest(device::kCmdReadSettings, 16, 16), 21), 4 + 5), 6);
}

// Noise, split packets and scanning connections (closed or reset) disturb nothing.
TEST_F(SimTcpTest, GarbageSplitPacketsAndPortScansAreSurvived) {
  const int index = sim_.AddTcp(1);
  auto socket = Connect(index);
  for (int i = 0; i < 4; ++i) {
    QTcpSocket scan;
    scan.connectToHost(sim_.address(index), sim_.port());
    ASSERT_TRUE(scan.waitForConnected(3000));
    if (i % 2 == 0) scan.abort();
  }
  const QByteArray request = Request(device::kCmdIdentify);
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

// Silence, delays, truncation and dropped lines show in the exchange layer's tests; trailing
// garbage is harmless there, so it is checked here.
TEST_F(SimTcpTest, GarbageFollowsTheReply) {
  const int index = sim_.AddTcp(3);
  auto socket = Connect(index);
  sim_.device(index).SetGarbage(4);
  ASSERT_TRUE(SendAll(*socket, Request(device::kCmdIdentify)));
  const QByteArray reply = Drain(*socket, 400);
  ASSERT_EQ(reply.size(), 17);
  EXPECT_EQ(At(reply, 8), 3);
  EXPECT_EQ(At(reply, 12), 0xF7);
}

// The PC gets the first K bytes of the reply and then the end of the connection; the device did
// act on the request.
TEST_F(SimTcpTest, CutSendsPartOfTheReplyThenDrops) {
  const int index = sim_.AddTcp(0);
  auto socket = Connect(index);
  sim_.device(index).SetCut(5);
  ASSERT_TRUE(SendAll(*socket, Request(device::kCmdVersions)));
  socket->waitForDisconnected(3000);
  EXPECT_EQ(socket->state(), QAbstractSocket::UnconnectedState);
  EXPECT_EQ(socket->readAll(), QByteArray::fromHex("8d1f0022") + char(1));
  EXPECT_EQ(sim_.device(index).ReceivedCommands(), QList<uint8_t>{device::kCmdVersions});
}

TEST_F(SimTcpTest, DisconnectDropsTheConnectionButNotTheDeviceAndStopRefuses) {
  const int index = sim_.AddTcp(0);
  auto socket = Connect(index);
  sim_.device(index).DisconnectOnNextPacket();
  ASSERT_TRUE(SendAll(*socket, Request(device::kCmdKeepAlive)));
  socket->waitForDisconnected(3000);
  EXPECT_EQ(socket->state(), QAbstractSocket::UnconnectedState);
  EXPECT_EQ(Exchange(*Connect(index), Request(device::kCmdKeepAlive), 13).size(), 13);
  sim_.Stop(index);
  QTcpSocket refused;
  refused.connectToHost(sim_.address(index), sim_.port());
  EXPECT_FALSE(refused.waitForConnected(1000));
}

}  // namespace
}  // namespace tessaly::sim
