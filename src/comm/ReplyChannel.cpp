#include "comm/ReplyChannel.h"

#include <QIODevice>

#include "comm/LinkIo.h"

namespace tessaly::comm {
namespace {
constexpr int kWriteLimitMs = 1000;
constexpr int kCommandByte = 3;
}  // namespace

void ReplyChannel::Send(QIODevice& io, const QByteArray& packet) {
  DiscardStale(io);
  sent_command_ = packet.size() > kCommandByte ? static_cast<uint8_t>(packet[kCommandByte]) : -1;
  SendAll(io, packet, kWriteLimitMs);
}

int ReplyChannel::Receive(QIODevice& io, QByteArray& reply, int awaited, int limit_ms) {
  QDeadlineTimer deadline(limit_ms);
  for (;;) {
    const int status =
        ReceiveExactly(io, reply, awaited, static_cast<int>(deadline.remainingTime()));
    if (status != kReceiveOk) {
      if (status == kReceiveTimeout) {
        late_command_ = sent_command_;
        late_bytes_ = awaited;
        late_until_ = QDeadlineTimer(2 * limit_ms);
      }
      return status;
    }
    const bool late_one_owed = late_command_ >= 0 && !late_until_.hasExpired();
    const int echoed = reply.size() > kCommandByte ? static_cast<uint8_t>(reply[kCommandByte]) : -1;
    if (late_one_owed && echoed == late_command_ && echoed != sent_command_ &&
        late_bytes_ == awaited) {
      late_command_ = -1;  // that was the straggler; ours comes next
      continue;
    }
    if (late_one_owed && late_bytes_ != awaited && echoed == late_command_ &&
        echoed != sent_command_) {
      // The straggler has another length than our answer: drop its bytes, then read ours.
      QByteArray rest;
      const int extra = late_bytes_ - awaited;
      late_command_ = -1;
      if (extra > 0) {
        if (ReceiveExactly(io, rest, extra, static_cast<int>(deadline.remainingTime())) !=
            kReceiveOk) {
          return kReceiveTimeout;
        }
        continue;
      }
      // Shorter straggler: the tail of what we read already belongs to our answer.
      QByteArray ours = reply.mid(late_bytes_);
      if (ReceiveExactly(io, rest, awaited - static_cast<int>(ours.size()),
                         static_cast<int>(deadline.remainingTime())) != kReceiveOk) {
        return kReceiveTimeout;
      }
      reply = ours + rest;
      return kReceiveOk;
    }
    late_command_ = -1;
    return kReceiveOk;
  }
}

void ReplyChannel::Forget() {
  sent_command_ = -1;
  late_command_ = -1;
  late_bytes_ = 0;
}

}  // namespace tessaly::comm
