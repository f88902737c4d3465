#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>

class QIODevice;

namespace tessaly::comm {

// Request/reply discipline over one byte stream (a serial port or one TCP connection).
//
// A device answers in order, so an answer that missed its wait limit can still arrive later,
// ahead of the next request's answer. Whatever is waiting is dropped before each send; a reply is
// accepted only when it echoes the request's command and ends with the end marker where the
// expected length puts it, and the bytes ahead of such a reply are skipped; before the same command
// is sent again, its late answer (which would look exactly like the new one's) is awaited for as
// long again as the request waited, and dropped.
class ReplyChannel {
 public:
  // False when the packet could not be written.
  [[nodiscard]] bool Send(QIODevice& io, const QByteArray& packet);
  // One of the kReceive* results of LinkIo.h; `reply` holds exactly `awaited` bytes on success.
  int Receive(QIODevice& io, QByteArray& reply, int awaited, const QDeadlineTimer& deadline);
  // A new line or connection owes nothing.
  void Forget();

 private:
  bool LateOneOwed() const { return late_command_ >= 0 && !late_until_.hasExpired(); }

  int sent_command_ = -1;
  QElapsedTimer sent_at_;
  // Set when the last answer was read and the line then had nothing more.
  QElapsedTimer dry_since_;
  int late_command_ = -1;
  int late_bytes_ = 0;
  QDeadlineTimer late_until_;
};

}  // namespace tessaly::comm
