#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonDocument>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "sim/SimHost.h"

namespace tessaly::test {

// One run of the built tessaly-cli.
struct CliRun {
  int exit_code = -1;
  QString out;
  QString err;

  QStringList OutLines() const;
  QStringList ErrLines() const;
  // Trace lines of packets sent ("> ...") and received ("< ..."), without the marker.
  QStringList Sent() const;
  QStringList Received() const;
  // Packets sent for an edit: everything but the probe, identify, read-out and release traffic.
  QStringList EditPackets() const;
  QJsonDocument Json() const;
};

// Emulated devices on loopback addresses, all on one free port, and a folder that maps COM
// numbers to the devices' pseudo-terminals.
class CliFixture : public ::testing::Test {
 protected:
  void SetUp() override;

  // Starts a device on 127.0.0.<last_octet> at the fixture's port; returns its index.
  int StartTcp(int type, int last_octet, const QString& name = {}, int programs = 0);
  // Starts a device behind <com dir>/COM<com>; returns its index.
  int StartPty(int type, int com, const QString& name = {});
  int Start(sim::SimDeviceConfig config);
  std::shared_ptr<sim::SimDevice> Device(int index) const { return host_.device(index); }

  // Runs tessaly-cli with the fixture's device port and COM folder; `input` is its stdin.
  CliRun Run(const QStringList& args, const QByteArray& input = {}) const;
  // "--tcp 127.0.0.<octet>" followed by args.
  CliRun RunTcp(int last_octet, const QStringList& args) const;

  quint16 port() const { return port_; }
  const QTemporaryDir& dir() const { return dir_; }

 private:
  sim::SimHost host_;
  quint16 port_ = 0;
  QTemporaryDir dir_;
};

// "8D 1F 00 01 ..." from bytes.
QString Hex(const QByteArray& bytes);
// The upper-case hex block the read-out JSON uses.
QString HexBlock(const QByteArray& bytes);

}  // namespace tessaly::test
