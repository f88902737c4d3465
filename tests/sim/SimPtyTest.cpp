#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSerialPort>

#include "SimClient.h"
#include "device/Commands.h"
#include "sim/WirePacer.h"

namespace tessaly::sim {
namespace {

using testing::At;
using testing::Exchange;
using testing::Request;

bool OpenAt(QSerialPort& port, const QString& path, int baud) {
  port.setPortName(path);
  return port.open(QIODevice::ReadWrite) && port.setBaudRate(baud) &&
         port.setDataBits(QSerialPort::Data8) && port.setParity(QSerialPort::NoParity) &&
         port.setStopBits(QSerialPort::OneStop) && port.setFlowControl(QSerialPort::NoFlowControl);
}

class SimPtyTest : public ::testing::Test {
 protected:
  SimPtyTest() { test::EnsureCoreApplication(); }
  test::SimHarness sim_;
};

// The USB search tries 57600 baud with probe 119, then 9600 with 127: a device must answer only
// the stage that matches its own speed.
TEST_F(SimPtyTest, AnswersOnlyAtItsOwnSpeed) {
  const int cases[][3] = {{0, 57600, 1}, {0, 9600, 0},  {1, 57600, 0}, {1, 9600, 1},  {2, 57600, 0},
                          {2, 9600, 1},  {3, 57600, 1}, {3, 9600, 0},  {3, 115200, 0}};
  for (const auto& [type, baud, answers] : cases) {
    SCOPED_TRACE(::testing::Message() << type << " at " << baud);
    test::SimHarness sim;
    const int index = sim.AddPty(type);
    QSerialPort port;
    ASSERT_TRUE(OpenAt(port, sim.pty_path(index), baud)) << port.errorString().toStdString();
    EXPECT_EQ(sim.host().line_speed(index), baud);
    const uint8_t probe = baud == 57600 ? device::kCmdProbeA : device::kCmdProbeB;
    const QByteArray reply = Exchange(port, Request(probe), 13, answers ? 3000 : 500);
    EXPECT_EQ(reply.size(), answers ? 13 : 0);
    EXPECT_EQ(At(reply, 11), answers ? device::kProbeAck : 0);
    EXPECT_EQ(At(reply, 8), answers ? type : 0);
    EXPECT_EQ(sim.device(index).ReceivedCount(), answers);
  }
}

// Paced, a 13-byte request and its 13-byte reply take at least ten bits a byte at the type's
// speed, and every request gets its whole reply. How little more they take is the pacer's own
// test below: a loaded machine may add any delay.
TEST_F(SimPtyTest, PacedLineTakesTheWireTimeOfEveryByte) {
  const int cases[][2] = {{1, 9600}, {3, 57600}};
  for (const auto& [type, baud] : cases) {
    SCOPED_TRACE(::testing::Message() << type << " at " << baud);
    test::SimHarness sim;
    const int index = sim.AddPty({.type = type, .pace_wire = true});
    QSerialPort port;
    ASSERT_TRUE(OpenAt(port, sim.pty_path(index), baud)) << port.errorString().toStdString();
    const qint64 wire_ns = 26LL * 10 * 1'000'000'000 / baud;
    for (int i = 0; i < 3; ++i) {
      QElapsedTimer clock;
      clock.start();
      EXPECT_EQ(Exchange(port, Request(device::kCmdKeepAlive), 13).size(), 13);
      EXPECT_GE(clock.nsecsElapsed(), wire_ns);
    }
    EXPECT_EQ(sim.device(index).ReceivedCount(), 3);
  }
}

// Bytes go on in groups of up to `gather`, the last one queued never later than its own time.
TEST(WirePacerTest, HandsOverGroupsWithoutHoldingBackTheLastByte) {
  using Clock = WirePacer::Clock;
  const struct {
    int bytes;
    int gather_us;
    int handed_over;  // the byte whose time is the next handover
  } cases[] = {{10, 0, 1}, {10, 1000, 6}, {10, 1042, 7}, {4, 1000, 4}, {10, 10000, 10}};
  for (const auto& [bytes, gather_us, handed_over] : cases) {
    SCOPED_TRACE(::testing::Message() << bytes << " bytes, gather " << gather_us);
    WirePacer pacer(57600);
    const Clock::time_point start{};
    EXPECT_FALSE(pacer.NextHandover(std::chrono::microseconds(gather_us)));
    pacer.Push(QByteArray(bytes, 'x'), start);
    EXPECT_EQ(pacer.NextHandover(std::chrono::microseconds(gather_us)),
              start + handed_over * pacer.ByteTime());
  }
}

TEST_F(SimPtyTest, LinkNamedLikeAComPortAndSpeedChangesFollowed) {
  const int index = sim_.AddPty({.type = 1, .name = QStringLiteral("Rack 2")}, 7);
  ASSERT_GE(index, 0);
  EXPECT_EQ(QFileInfo(sim_.pty_path(index)).fileName(), QStringLiteral("COM7"));
  EXPECT_TRUE(QFileInfo(sim_.pty_path(index)).symLinkTarget().startsWith(QStringLiteral("/dev/")));
  comm::ComPortMap ports;
  sim_.MapComPorts(ports);
  EXPECT_EQ(ports.PortName(7), sim_.pty_path(index));
  QSerialPort port;
  ASSERT_TRUE(OpenAt(port, sim_.pty_path(index), 57600));
  EXPECT_TRUE(Exchange(port, Request(device::kCmdProbeB), 13, 400).isEmpty());
  ASSERT_TRUE(port.setBaudRate(9600));
  const QByteArray name = Exchange(port, testing::ReadRequest(device::kCmdReadSettings, 0, 16), 21);
  EXPECT_EQ(name.mid(4, 16), QByteArray("Rack 2          "));
  EXPECT_EQ(Exchange(port, Request(120, {10, 0, 0, 9}), 13).size(), 13);
  EXPECT_EQ(sim_.device(index).IpAddress(), (std::array<uint8_t, 4>{10, 0, 0, 9}));
  EXPECT_EQ(Exchange(port, Request(device::kCmdMeters), 33).size(), 33);
}

// A reopened port finds the device again, also after it dropped the line like an unplugged one.
TEST_F(SimPtyTest, ReopenedPortFindsTheDeviceAgainAfterACloseOrADisconnect) {
  const int index = sim_.AddPty(0);
  for (const bool drop : {false, true}) {
    QSerialPort port;
    ASSERT_TRUE(OpenAt(port, sim_.pty_path(index), 57600)) << port.errorString().toStdString();
    if (drop) sim_.device(index).DisconnectOnNextPacket();
    EXPECT_EQ(Exchange(port, Request(device::kCmdKeepAlive), 13, drop ? 500 : 3000).size(),
              drop ? 0 : 13);
  }
  QSerialPort port;
  ASSERT_TRUE(OpenAt(port, sim_.pty_path(index), 57600)) << port.errorString().toStdString();
  EXPECT_EQ(Exchange(port, Request(device::kCmdKeepAlive), 13).size(), 13);
  EXPECT_EQ(sim_.device(index).ReceivedCount(), 3);
}

}  // namespace
}  // namespace tessaly::sim
