#pragma once

#include <QByteArray>
#include <QDeadlineTimer>

class QIODevice;

namespace tessaly::comm {

// Request/reply discipline over one byte stream (a serial port or one TCP connection).
//
// A device answers in order, so an answer that missed its wait limit can still arrive later and
// would then be read as the answer to the next request. Two defences keep that from happening:
// whatever is waiting is dropped before each send, and when an earlier request went unanswered
// and a reply turns up that echoes that request's command byte instead of the current one, it is
// skipped as the late answer it is. A late answer is expected for one more wait limit at most.
class ReplyChannel {
 public:
  void Send(QIODevice& io, const QByteArray& packet);
  // One of the kReceive* results of LinkIo.h; `reply` holds exactly `awaited` bytes on success.
  int Receive(QIODevice& io, QByteArray& reply, int awaited, int limit_ms);
  // A new line or connection owes nothing.
  void Forget();

 private:
  int sent_command_ = -1;
  int late_command_ = -1;
  int late_bytes_ = 0;
  QDeadlineTimer late_until_;
};

}  // namespace tessaly::comm
