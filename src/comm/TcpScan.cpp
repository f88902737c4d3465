#include "comm/TcpScan.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <cerrno>
#include <vector>

namespace tessaly::comm {
namespace {

struct Attempt {
  int fd = -1;
  bool answered = false;
};

int StartConnect(const QString& address, quint16 port) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  if (inet_pton(AF_INET, address.toLatin1().constData(), &target.sin_addr) != 1) return -1;
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0 &&
      errno != EINPROGRESS) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

QStringList ScanAddresses(const QStringList& addresses, quint16 port, int wait_ms) {
  std::vector<Attempt> attempts(static_cast<size_t>(addresses.size()));
  for (qsizetype i = 0; i < addresses.size(); ++i)
    attempts[i].fd = StartConnect(addresses[i], port);

  QDeadlineTimer deadline(wait_ms);
  for (;;) {
    std::vector<pollfd> pending;
    std::vector<size_t> index;
    for (size_t i = 0; i < attempts.size(); ++i) {
      if (attempts[i].fd >= 0 && !attempts[i].answered) {
        pending.push_back({attempts[i].fd, POLLOUT, 0});
        index.push_back(i);
      }
    }
    const qint64 left = deadline.remainingTime();
    if (pending.empty() || left <= 0) break;
    if (poll(pending.data(), pending.size(), static_cast<int>(left)) <= 0) continue;
    for (size_t k = 0; k < pending.size(); ++k) {
      if (pending[k].revents == 0) continue;
      Attempt& attempt = attempts[index[k]];
      int error = 0;
      socklen_t length = sizeof error;
      getsockopt(attempt.fd, SOL_SOCKET, SO_ERROR, &error, &length);
      if (error == 0) {
        attempt.answered = true;
      } else {
        close(attempt.fd);  // refused: nothing listens there
        attempt.fd = -1;
      }
    }
  }

  QStringList answered;
  for (size_t i = 0; i < attempts.size(); ++i) {
    if (attempts[i].answered) answered << addresses[static_cast<qsizetype>(i)];
    if (attempts[i].fd >= 0) close(attempts[i].fd);
  }
  return answered;
}

}  // namespace tessaly::comm
