#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <QAbstractSocket>
#include <QSerialPort>
#include <cerrno>

#include "comm/LineDescriptor.h"

namespace tessaly::comm {
namespace {

// Waits at most `ms` for something to read, an end or an error; false when nothing came.
bool WaitReadable(int fd, int ms) {
  pollfd line{fd, POLLIN, 0};
  for (;;) {
    const int ready = ::poll(&line, 1, ms);
    if (ready >= 0) return ready > 0;
    if (errno != EINTR) return true;  // let the read meet the error
  }
}

}  // namespace

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

qint64 LineDescriptor::ReadWithin(char* data, qint64 size, int ms) const {
  if (ms <= 0) return ReadNow(data, size);
  const int fd = static_cast<int>(handle_);
  if (!socket_) {
    if (!WaitReadable(fd, ms)) return 0;
    const qint64 count = ReadNow(data, size);
    return count == 0 ? -1 : count;
  }
  // A thread asleep in recv() is woken sooner than one asleep in poll() (up to 10 us of a 40 us
  // exchange on loopback), so for this one read the socket blocks, with the wait as its receive
  // time-out. Qt keeps the socket non-blocking; it gets it back before anything else runs here.
  const timeval limit{ms / 1000, (ms % 1000) * 1000};
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0 ||
      ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    return WaitReadable(fd, ms) ? ReadNow(data, size) : 0;
  }
  ssize_t count = 0;
  do {
    count = ::recv(fd, data, static_cast<size_t>(size), 0);
  } while (count < 0 && errno == EINTR);
  const int error = errno;
  ::fcntl(fd, F_SETFL, flags);
  if (count > 0) return count;
  if (count == 0) return -1;  // the peer's end
  return error == EAGAIN || error == EWOULDBLOCK ? 0 : -1;
}

}  // namespace tessaly::comm
