#pragma once

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "sim/SimHost.h"
#include "support/SimHarness.h"
#include "support/TestPorts.h"

namespace tessaly::test {

inline QStringList Lines(const QString& text) { return text.split('\n', Qt::SkipEmptyParts); }

// One run of the built tessaly-cli.
struct CliRun {
  int exit_code = -1;
  QString out, err;

  QStringList OutLines() const { return Lines(out); }
  QStringList ErrLines() const { return Lines(err); }
  // Trace lines of packets sent ("> ...") or received ("< ..."), without the marker.
  QStringList Traced(const QString& marker) const {
    QStringList lines;
    for (const QString& line : ErrLines()) {
      if (line.startsWith(marker)) lines << line.mid(marker.size());
    }
    return lines;
  }
  QStringList Sent() const { return Traced(QStringLiteral("> ")); }
  // Packets sent for an edit: all but identify, release, program status, versions, memory reads
  // and the two probes.
  QStringList EditPackets() const {
    static const QStringList kOther = {"00", "0F", "1F", "22", "5D", "5F", "77", "7F"};
    QStringList edits;
    for (const QString& packet : Sent()) {
      if (!kOther.contains(packet.section(' ', 3, 3))) edits << packet;
    }
    return edits;
  }
  QJsonDocument Json() const { return QJsonDocument::fromJson(out.toUtf8()); }
};

// Emulated devices on loopback addresses, all on one free port, and a folder that maps COM
// numbers to the devices' pseudo-terminals.
class CliFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureCoreApplication();
    ASSERT_TRUE(dir_.isValid());
    // One port for every device of the test, so one scan covers all.
    port_ = ReservedPort();
    ASSERT_NE(port_, 0);
  }

  int Start(sim::SimDeviceConfig config) {
    QString error;
    const int index = host_.Start(config, &error);
    EXPECT_GE(index, 0) << error.toStdString();
    return index;
  }
  // A device on 127.0.0.<last_octet> at the fixture's port; returns its index.
  int StartTcp(int type, int last_octet, const QString& name = {}, int programs = 0,
               sim::SimFaults faults = {}) {
    return Start({.type = type,
                  .name = name,
                  .address = QStringLiteral("127.0.0.%1").arg(last_octet),
                  .port = port_,
                  .programs = programs,
                  .faults = faults});
  }
  // A device behind <com dir>/COM<com>.
  int StartPty(int type, int com, const QString& name = {}) {
    return Start({.type = type,
                  .name = name,
                  .link = sim::SimLinkKind::kPty,
                  .pty_link = dir_.filePath(QStringLiteral("COM%1").arg(com))});
  }
  std::shared_ptr<sim::SimDevice> Device(int index) const { return host_.device(index); }
  void Stop(int index) { host_.Stop(index); }

  // Runs tessaly-cli with the fixture's device port and COM folder; `input` is its stdin.
  CliRun Run(const QStringList& args, const QByteArray& input = {}) const {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TESSALY_DEVICE_PORT"), QString::number(port_));
    env.insert(QStringLiteral("TESSALY_COM_DIR"), dir_.path());
    process.setProcessEnvironment(env);
    // Backups land in the fixture's folder, whichever layout the build keeps.
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
      env.insert(QString::fromLatin1(name), dir_.path());
    }
    process.setWorkingDirectory(dir_.path());
    if (launcher_.isEmpty()) {
      process.start(QStringLiteral(TESSALY_CLI_PATH), args);
    } else {
      process.start(launcher_.front(),
                    launcher_.mid(1) + QStringList{QStringLiteral(TESSALY_CLI_PATH)} + args);
    }
    CliRun run;
    if (process.waitForStarted()) {
      process.write(input);
      process.closeWriteChannel();
    }
    if (!process.waitForFinished(60000)) {
      process.kill();
      process.waitForFinished();
      ADD_FAILURE() << "tessaly-cli did not finish: " << args.join(' ').toStdString();
      return run;
    }
    run.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
  }
  // "--tcp 127.0.0.<octet>" followed by args.
  CliRun RunTcp(int last_octet, const QStringList& args) const {
    return Run(QStringList{"--tcp", QStringLiteral("127.0.0.%1").arg(last_octet)} + args);
  }

  // A program that starts tessaly-cli, with its arguments (another user, for instance).
  void set_launcher(const QStringList& launcher) { launcher_ = launcher; }
  quint16 port() const { return port_; }
  const QTemporaryDir& dir() const { return dir_; }

 private:
  sim::SimHost host_;
  quint16 port_ = 0;
  QTemporaryDir dir_;
  QStringList launcher_;
};

// The upper-case hex block the read-out JSON uses.
inline QString HexBlock(const QByteArray& bytes) {
  return QString::fromLatin1(bytes.toHex().toUpper());
}

}  // namespace tessaly::test
