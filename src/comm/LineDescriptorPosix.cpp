#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAbstractSocket>
#include <QSerialPort>
#include <cerrno>

#include "comm/LineDescriptor.h"

namespace tessaly::comm {

LineDescriptor::LineDescriptor(QIODevice& io) {
  if (auto* socket = qobject_cast<QAbstractSocket*>(&io)) {
    if (socket->state() == QAbstractSocket::ConnectedState) {
      handle_ = socket->socketDescriptor();
      socket_ = true;
    }
  } else if (auto* port = qobject_cast<QSerialPort*>(&io)) {
    if (port->isOpen()) handle_ = port->handle();
  }
}

qint64 LineDescriptor::ReadNow(char* data, qint64 size) const {
  for (;;) {
    const ssize_t count = ::read(static_cast<int>(handle_), data, static_cast<size_t>(size));
    if (count > 0) return count;
    // A socket reads 0 at its peer's end; a serial port set to return at once reads 0 when
    // nothing has come.
    if (count == 0) return socket_ ? -1 : 0;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
  }
}

qint64 LineDescriptor::WriteNow(const char* data, qint64 size) const {
  for (;;) {
    // A socket whose peer has gone must not raise SIGPIPE; Qt's own sends avoid it the same way.
    const ssize_t count =
        socket_ ? ::send(static_cast<int>(handle_), data, static_cast<size_t>(size), MSG_NOSIGNAL)
                : ::write(static_cast<int>(handle_), data, static_cast<size_t>(size));
    if (count >= 0) return count;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
  }
}

bool LineDescriptor::WaitReadable(int ms) const {
  pollfd line{static_cast<int>(handle_), POLLIN, 0};
  for (;;) {
    const int ready = ::poll(&line, 1, ms);
    if (ready >= 0) return ready > 0;
    if (errno != EINTR) return true;  // let the read meet the error
  }
}

}  // namespace tessaly::comm
