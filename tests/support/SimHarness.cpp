#include "support/SimHarness.h"

#include "support/TestPorts.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "device/DeviceTypes.h"

namespace tessaly::test {
namespace {
constexpr int kLastHostOctet = 254;
}

void EnsureCoreApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "tessaly-test";
  static char* argv[] = {name, nullptr};
  // Lives until the process ends, as the application object of a test binary does.
  new QCoreApplication(argc, argv);
}

SimHarness::SimHarness() : host_(std::make_unique<sim::SimHost>()) {
  // CTest runs each case in a process of its own, so the harness cannot count on an earlier case
  // having made the application object.
  EnsureCoreApplication();
  if (qEnvironmentVariableIntValue("TESSALY_SIM_TRACE") != 0) {
    host_->SetTrace(
        [](const QString& line) { std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData()); });
  }
}

SimHarness::~SimHarness() { host_.reset(); }

int SimHarness::StartTcp(const QString& address, sim::SimDeviceConfig config) {
  config.link = sim::SimLinkKind::kTcp;
  config.address = address;
  if (port_ == 0) port_ = ReservedPort();
  config.port = port_;
  QString error;
  const int index = host_->Start(config, &error);
  if (index >= 0) {
    com_numbers_.resize(static_cast<size_t>(index) + 1, 0);
  }
  return index;
}

int SimHarness::AddTcp(sim::SimDeviceConfig config) {
  if (!device::IsValidType(config.type)) {
    ADD_FAILURE() << "no device type " << config.type;
    return -1;
  }
  // An address whose port is taken by someone else is skipped; the devices stay on one port.
  QString last_error;
  while (next_host_octet_ <= kLastHostOctet) {
    const QString address = QStringLiteral("127.0.0.%1").arg(next_host_octet_++);
    const int index = StartTcp(address, config);
    if (index >= 0) return index;
    last_error = address;
  }
  ADD_FAILURE() << "no loopback address left for a device (last tried " << last_error.toStdString()
                << ")";
  return -1;
}

int SimHarness::AddTcpAt(const QString& address, sim::SimDeviceConfig config) {
  const int index = StartTcp(address, config);
  if (index < 0) {
    ADD_FAILURE() << "cannot start a device on " << address.toStdString() << ":" << port_;
  }
  return index;
}

int SimHarness::AddPty(sim::SimDeviceConfig config, int com_number) {
  if (!pty_dir_.isValid()) {
    ADD_FAILURE() << "no temporary folder for the pseudo-terminal links";
    return -1;
  }
  if (com_number <= 0) com_number = next_com_++;
  config.link = sim::SimLinkKind::kPty;
  config.pty_link = pty_dir_.filePath(QStringLiteral("COM%1").arg(com_number));
  QString error;
  const int index = host_->Start(config, &error);
  if (index < 0) {
    ADD_FAILURE() << "cannot start a pseudo-terminal device: " << error.toStdString();
    return -1;
  }
  com_numbers_.resize(static_cast<size_t>(index) + 1, 0);
  com_numbers_[index] = com_number;
  return index;
}

QString SimHarness::address(int index) const { return host_->address(index); }
QString SimHarness::pty_path(int index) const { return host_->pty_path(index); }

int SimHarness::com_number(int index) const {
  if (index < 0 || index >= static_cast<int>(com_numbers_.size())) return 0;
  return com_numbers_[index];
}

void SimHarness::MapComPorts(comm::ComPortMap& ports) const {
  for (size_t index = 0; index < com_numbers_.size(); ++index) {
    if (com_numbers_[index] > 0) {
      ports.Map(com_numbers_[index], host_->pty_path(static_cast<int>(index)));
    }
  }
}

sim::SimDevice& SimHarness::device(int index) const {
  const std::shared_ptr<sim::SimDevice> found = host_->device(index);
  // A bad index is a broken test; failing loudly beats a null dereference later.
  if (!found) {
    std::fprintf(stderr, "SimHarness::device: no device %d\n", index);
    std::abort();
  }
  return *found;
}

}  // namespace tessaly::test
