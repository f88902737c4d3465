#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpSocket>

#include "SimClient.h"
#include "device/Commands.h"
#include "support/TestPorts.h"

namespace tessaly::sim {
namespace {

const QString kExecutable = QStringLiteral(TESSALY_SIM_EXECUTABLE);

TEST(SimExecutable, RefusesABadLine) {
  QProcess process;
  process.start(kExecutable, {QStringLiteral("--device"), QStringLiteral("type=7")});
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_EQ(process.exitCode(), 2);
  EXPECT_TRUE(process.readAllStandardError().contains("--help"));
}

TEST(SimExecutable, ServesTracesAndStopsOnSigterm) {
  test::EnsureCoreApplication();
  const QString address = QStringLiteral("127.0.0.250");
  const quint16 port = tessaly::test::ReservedPort();
  ASSERT_NE(port, 0);
  QProcess process;
  process.start(kExecutable,
                {QStringLiteral("--trace"), QStringLiteral("--device"),
                 QStringLiteral("type=3,tcp=%1:%2,name=\"Main PA\"").arg(address).arg(port)});
  ASSERT_TRUE(process.waitForStarted(10000));
  ASSERT_TRUE(process.waitForReadyRead(10000));
  EXPECT_EQ(QString::fromLocal8Bit(process.readLine()).trimmed(),
            QStringLiteral("device 0: type 3 (540S) \"Main PA         \" on tcp %1:%2")
                .arg(address)
                .arg(port));

  QTcpSocket socket;
  socket.connectToHost(address, port);
  ASSERT_TRUE(socket.waitForConnected(3000));
  const QByteArray reply = testing::Exchange(socket, testing::Request(device::kCmdIdentify), 13);
  EXPECT_EQ(testing::At(reply, 8), 3);

  process.terminate();
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0);
  const QByteArray trace = process.readAllStandardError();
  EXPECT_TRUE(trace.contains("rx 8d 1f 00 00 00 00 00 00 00 00 00 00 f7")) << trace.constData();
  EXPECT_TRUE(trace.contains("tx 8d 1f 00 00 00 00 00 00 03 00 00 00 f7")) << trace.constData();
}

}  // namespace
}  // namespace tessaly::sim
