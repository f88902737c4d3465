#include "support/TestPorts.h"

#include <QHostAddress>
#include <QMutex>
#include <QTcpServer>
#include <vector>

namespace tessaly::test {

quint16 ReservedPort() {
  // Out of the way of every device and every scanned range.
  static const QHostAddress kHoldAddress(QStringLiteral("127.255.255.254"));
  static QMutex mutex;
  // Reachable until exit, so the holds are neither closed early nor reported as leaks.
  static auto* held = new std::vector<QTcpServer*>;
  const QMutexLocker lock(&mutex);
  auto* server = new QTcpServer;
  if (!server->listen(kHoldAddress, 0)) {
    delete server;
    return 0;
  }
  held->push_back(server);
  return server->serverPort();
}

}  // namespace tessaly::test
