#include "comm/ReplyChannel.h"

#include <QIODevice>

#include "comm/LinkIo.h"
#include "device/Commands.h"

namespace tessaly::comm {
namespace {

constexpr int kWriteLimitMs = 1000;

int CommandOf(const QByteArray& bytes) {
  return bytes.size() > device::kCommandByte ? static_cast<uint8_t>(bytes[device::kCommandByte])
                                             : -1;
}

}  // namespace

bool ReplyChannel::Send(QIODevice& io, const QByteArray& packet) {
  const int command = CommandOf(packet);
  if (LateOneOwed() && command == late_command_) {
    // The answer to the first request would be indistinguishable from the answer to this one.
    QByteArray late;
    (void)ReceiveExactly(io, late, late_bytes_, late_until_);
    late_command_ = -1;
  }
  DiscardStale(io);
  sent_command_ = command;
  sent_at_.start();
  return SendAll(io, packet, QDeadlineTimer(kWriteLimitMs));
}

int ReplyChannel::Receive(QIODevice& io, QByteArray& reply, int awaited,
                          const QDeadlineTimer& deadline) {
  // Whether a straggler may come first is decided now: it would arrive ahead of our answer, but
  // our answer is only complete once its own bytes are in.
  bool late_owed = LateOneOwed();
  for (;;) {
    const int status = ReceiveExactly(io, reply, awaited, deadline);
    if (status != kReceiveOk) {
      if (status == kReceiveTimeout) {
        late_command_ = sent_command_;
        late_bytes_ = awaited;
        late_until_ = QDeadlineTimer(sent_at_.isValid() ? sent_at_.elapsed() : 0);
      }
      return status;
    }
    const int echoed = CommandOf(reply);
    if (!late_owed || echoed != late_command_ || echoed == sent_command_) {
      late_command_ = -1;
      return kReceiveOk;
    }
    // The straggler came first. Drop its bytes, then read ours.
    late_command_ = -1;
    late_owed = false;
    const int extra = late_bytes_ - awaited;
    if (extra > 0) {
      QByteArray rest;
      if (ReceiveExactly(io, rest, extra, deadline) != kReceiveOk) return kReceiveTimeout;
      continue;
    }
    // A shorter straggler: the tail of what we read already belongs to our answer.
    const QByteArray ours = reply.mid(late_bytes_);
    QByteArray rest;
    if (ReceiveExactly(io, rest, awaited - static_cast<int>(ours.size()), deadline) != kReceiveOk) {
      return kReceiveTimeout;
    }
    reply = ours + rest;
    return kReceiveOk;
  }
}

void ReplyChannel::Forget() {
  sent_command_ = -1;
  late_command_ = -1;
  late_bytes_ = 0;
}

}  // namespace tessaly::comm
