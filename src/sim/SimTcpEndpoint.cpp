#include "sim/SimTcpEndpoint.h"

#include <QTcpSocket>

namespace tessaly::sim {

SimTcpEndpoint::SimTcpEndpoint(std::shared_ptr<SimDevice> device, QString label, SimTrace trace,
                               QObject* parent)
    : SimEndpoint(std::move(device), std::move(label), std::move(trace), parent) {
  connect(&server_, &QTcpServer::newConnection, this, &SimTcpEndpoint::Accept);
}

bool SimTcpEndpoint::Listen(const QHostAddress& address, quint16 port, QString* error) {
  if (server_.listen(address, port)) return true;
  if (error) {
    *error = QStringLiteral("cannot listen on %1:%2: %3")
                 .arg(address.toString())
                 .arg(port)
                 .arg(server_.errorString());
  }
  return false;
}

QString SimTcpEndpoint::Where() const {
  return QStringLiteral("tcp %1:%2").arg(server_.serverAddress().toString()).arg(port());
}

void SimTcpEndpoint::Accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    // The framer lives as long as the connection; a scan that connects and leaves costs nothing.
    auto framer = std::make_shared<SimFramer>();
    Trace(QStringLiteral("connection from %1:%2")
              .arg(socket->peerAddress().toString())
              .arg(socket->peerPort()));
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::errorOccurred, socket, [socket](QAbstractSocket::SocketError) {
      if (socket->state() == QAbstractSocket::UnconnectedState) socket->deleteLater();
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, framer] {
      const QByteArray bytes = socket->readAll();
      Consume(
          *framer, bytes, socket, [socket](const QByteArray& reply) { socket->write(reply); },
          [socket](qsizetype sent) {
            if (sent > 0) {
              // The bytes written must reach the PC before the close; `disconnected` deletes it.
              socket->disconnectFromHost();
              return;
            }
            socket->abort();
            socket->deleteLater();
          });
    });
  }
}

}  // namespace tessaly::sim
