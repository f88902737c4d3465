#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSerialPort>

#include "SimClient.h"
#include "comm/Commands.h"
#include "comm/DeviceTypes.h"
#include "support/SimHarness.h"

namespace tessaly::sim {
namespace {

using testing::At;
using testing::Exchange;
using testing::Request;

bool OpenAt(QSerialPort& port, const QString& path, int baud) {
  port.setPortName(path);
  if (!port.open(QIODevice::ReadWrite)) return false;
  return port.setBaudRate(baud) && port.setDataBits(QSerialPort::Data8) &&
         port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
         port.setFlowControl(QSerialPort::NoFlowControl);
}

struct SpeedCase {
  int type;
  int baud;
  bool answers;
};

class SimPtySpeedTest : public ::testing::TestWithParam<SpeedCase> {
 protected:
  SimPtySpeedTest() { test::EnsureCoreApplication(); }
};

// The USB search tries 57600 baud with probe 119, then 9600 with 127: a device must answer only
// the stage that matches its own speed.
TEST_P(SimPtySpeedTest, AnswersOnlyAtItsOwnSpeed) {
  const SpeedCase& c = GetParam();
  test::SimHarness sim;
  const int index = sim.AddPty(c.type);
  ASSERT_GE(index, 0);
  QSerialPort port;
  ASSERT_TRUE(OpenAt(port, sim.pty_path(index), c.baud)) << port.errorString().toStdString();
  EXPECT_EQ(sim.host().line_speed(index), c.baud);

  const uint8_t probe = c.baud == 57600 ? comm::kCmdProbeA : comm::kCmdProbeB;
  const QByteArray reply = Exchange(port, Request(probe), 13, c.answers ? 3000 : 500);
  if (c.answers) {
    ASSERT_EQ(reply.size(), 13);
    EXPECT_EQ(At(reply, 11), comm::kProbeAck);
    EXPECT_EQ(At(reply, 8), c.type);
    EXPECT_EQ(sim.device(index).ReceivedCount(), 1);
  } else {
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(sim.device(index).ReceivedCount(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Stages, SimPtySpeedTest,
                         ::testing::Values(SpeedCase{0, 57600, true}, SpeedCase{0, 9600, false},
                                           SpeedCase{1, 57600, false}, SpeedCase{1, 9600, true},
                                           SpeedCase{2, 57600, false}, SpeedCase{2, 9600, true},
                                           SpeedCase{3, 57600, true}, SpeedCase{3, 9600, false},
                                           SpeedCase{3, 115200, false}));

class SimPtyTest : public ::testing::Test {
 protected:
  SimPtyTest() { test::EnsureCoreApplication(); }
  test::SimHarness sim_;
};

TEST_F(SimPtyTest, LinkNamedLikeAComPortPointsAtTheLine) {
  const int index = sim_.AddPty(3, 7);
  ASSERT_GE(index, 0);
  EXPECT_EQ(QFileInfo(sim_.pty_path(index)).fileName(), QStringLiteral("COM7"));
  EXPECT_TRUE(QFileInfo(sim_.pty_path(index)).symLinkTarget().startsWith(QStringLiteral("/dev/")));
  comm::ComPortMap ports;
  sim_.MapComPorts(ports);
  EXPECT_EQ(ports.PortName(7), sim_.pty_path(index));
}

TEST_F(SimPtyTest, SpeedChangeWhileOpenIsFollowed) {
  const int index = sim_.AddPty(1);
  QSerialPort port;
  ASSERT_TRUE(OpenAt(port, sim_.pty_path(index), 57600));
  EXPECT_TRUE(Exchange(port, Request(comm::kCmdProbeB), 13, 400).isEmpty());
  ASSERT_TRUE(port.setBaudRate(9600));
  EXPECT_EQ(Exchange(port, Request(comm::kCmdProbeB), 13).size(), 13);
}

TEST_F(SimPtyTest, ReadOutAndWriteOverTheLine) {
  const int index = sim_.AddPty({.type = 0, .name = QStringLiteral("Rack 2")});
  QSerialPort port;
  ASSERT_TRUE(OpenAt(port, sim_.pty_path(index), 57600));
  const QByteArray name = Exchange(port, testing::ReadRequest(comm::kCmdReadSettings, 0, 16), 21);
  EXPECT_EQ(name.mid(4, 16), QByteArray("Rack 2          "));
  EXPECT_EQ(Exchange(port, testing::Request(120, {10, 0, 0, 9}), 13).size(), 13);
  EXPECT_EQ(sim_.device(index).IpAddress(), (std::array<uint8_t, 4>{10, 0, 0, 9}));
  EXPECT_EQ(Exchange(port, Request(comm::kCmdMeters), 33).size(), 33);
}

TEST_F(SimPtyTest, ReopenedPortFindsTheDeviceAgain) {
  const int index = sim_.AddPty(3);
  {
    QSerialPort port;
    ASSERT_TRUE(OpenAt(port, sim_.pty_path(index), 57600));
    EXPECT_EQ(Exchange(port, Request(comm::kCmdKeepAlive), 13).size(), 13);
  }
  QSerialPort port;
  ASSERT_TRUE(OpenAt(port, sim_.pty_path(index), 57600));
  EXPECT_EQ(Exchange(port, Request(comm::kCmdKeepAlive), 13).size(), 13);
}

TEST_F(SimPtyTest, DisconnectUnplugsAndTheDeviceComesBackBehindTheLink) {
  const int index = sim_.AddPty(0);
  const QString before = QFileInfo(sim_.pty_path(index)).symLinkTarget();
  {
    QSerialPort port;
    ASSERT_TRUE(OpenAt(port, sim_.pty_path(index), 57600));
    sim_.device(index).DisconnectOnNextPacket();
    EXPECT_TRUE(Exchange(port, Request(comm::kCmdKeepAlive), 13, 500).isEmpty());
  }
  QSerialPort port;
  ASSERT_TRUE(OpenAt(port, sim_.pty_path(index), 57600)) << port.errorString().toStdString();
  EXPECT_EQ(Exchange(port, Request(comm::kCmdKeepAlive), 13).size(), 13);
  EXPECT_EQ(sim_.device(index).ReceivedCount(), 2);
  EXPECT_FALSE(before.isEmpty());
}

}  // namespace
}  // namespace tessaly::sim
