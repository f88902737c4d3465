#pragma once

#include <QHostAddress>
#include <QTcpServer>

#include "sim/SimEndpoint.h"

namespace tessaly::sim {

// The device's network port. Any number of PC connections at once, each with its own framing,
// as a device would accept a new connection while an old one is still half-open.
class SimTcpEndpoint : public SimEndpoint {
  Q_OBJECT

 public:
  SimTcpEndpoint(std::shared_ptr<SimDevice> device, QString label, SimTrace trace,
                 QObject* parent = nullptr);

  // Port 0 takes any free port; port() then tells which.
  bool Listen(const QHostAddress& address, quint16 port, QString* error);
  quint16 port() const { return server_.serverPort(); }
  QHostAddress address() const { return server_.serverAddress(); }
  QString Where() const override;

 private:
  void Accept();

  QTcpServer server_;
};

}  // namespace tessaly::sim
