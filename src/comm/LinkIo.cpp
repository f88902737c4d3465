#include "comm/LinkIo.h"

#include <QAbstractSocket>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QSerialPort>

namespace tessaly::comm {
namespace {

// A wait that ends early without data means the line went away, not that time ran out.
bool LineLost(QIODevice& io) {
  if (!io.isOpen()) return true;
  if (auto* socket = qobject_cast<QAbstractSocket*>(&io)) {
    return socket->state() != QAbstractSocket::ConnectedState;
  }
  if (auto* port = qobject_cast<QSerialPort*>(&io)) {
    return port->error() != QSerialPort::NoError && port->error() != QSerialPort::TimeoutError;
  }
  return false;
}

}  // namespace

void DiscardStale(QIODevice& io) {
  // waitForReadyRead(0) pulls what the OS already holds into Qt's buffer without blocking.
  io.waitForReadyRead(0);
  while (io.bytesAvailable() > 0) {
    io.readAll();
    io.waitForReadyRead(0);
  }
}

bool SendAll(QIODevice& io, const QByteArray& packet, int limit_ms) {
  if (io.write(packet) != packet.size()) return false;
  QDeadlineTimer deadline(limit_ms);
  while (io.bytesToWrite() > 0) {
    if (!io.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return false;
  }
  return true;
}

int ReceiveExactly(QIODevice& io, QByteArray& reply, int awaited, int limit_ms) {
  reply.clear();
  QDeadlineTimer deadline(limit_ms);
  while (reply.size() < awaited) {
    if (io.bytesAvailable() > 0) {
      reply.append(io.read(awaited - reply.size()));
      continue;
    }
    const qint64 left = deadline.remainingTime();
    if (left <= 0) break;
    if (!io.waitForReadyRead(static_cast<int>(left)) && io.bytesAvailable() == 0 && LineLost(io)) {
      reply.clear();
      return kReceiveClosed;
    }
  }
  if (reply.size() == awaited) return kReceiveOk;
  reply.clear();
  return kReceiveTimeout;
}

}  // namespace tessaly::comm
