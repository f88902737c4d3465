#include "comm/ReplyChannel.h"

#include <QIODevice>

#include "comm/LinkIo.h"
#include "device/Commands.h"
#include "device/PacketFormat.h"

namespace tessaly::comm {
namespace {

constexpr int kWriteLimitMs = 1000;
// How long a line read dry stays clean enough to send on without looking again.
constexpr qint64 kStillDryNs = 1000000;

int CommandOf(const QByteArray& bytes) {
  return bytes.size() > device::kCommandByte ? static_cast<uint8_t>(bytes[device::kCommandByte])
                                             : -1;
}

// A reply is taken as the answer only when it echoes the request's command and ends with the end
// marker exactly where the request's reply length puts it. Anything else on the line (the answer
// to an earlier request that gave up, garbage, a cut reply) is never read as this answer.
//
// What remains: the late answer to an identical request (same command, same length) cannot be
// told from this one's. For every request this program repeats that way (probe, keep-alive, meter
// poll, the same read) it carries the same answer or a reading one poll older; memory reads of
// the same length at other addresses could be mistaken, which is why a link whose reply was lost
// starts again clean (see Link::Abandon).
bool Fits(const QByteArray& reply, int command) {
  return reply.size() > device::kCommandByte &&
         static_cast<uint8_t>(reply[device::kCommandByte]) == command &&
         static_cast<uint8_t>(reply.back()) == device::kEndMarker;
}

// The first position after 0 where an answer echoing `command` could begin.
qsizetype NextPossibleStart(const QByteArray& bytes, int command) {
  for (qsizetype start = 1; start < bytes.size(); ++start) {
    const qsizetype echo = start + device::kCommandByte;
    if (echo >= bytes.size() || static_cast<uint8_t>(bytes[echo]) == command) return start;
  }
  return bytes.size();
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
  // A line read dry a moment ago, whose Qt buffer is still empty, holds nothing to drop: a byte
  // arriving since is no different from one arriving just after the check.
  if (!dry_since_.isValid() || dry_since_.nsecsElapsed() > kStillDryNs || io.bytesAvailable() > 0) {
    DiscardStale(io);
  }
  dry_since_.invalidate();
  sent_command_ = command;
  sent_at_.start();
  return SendAll(io, packet, QDeadlineTimer(kWriteLimitMs));
}

int ReplyChannel::Receive(QIODevice& io, QByteArray& reply, int awaited,
                          const QDeadlineTimer& deadline) {
  reply.clear();
  dry_since_.invalidate();
  // A request without an answer: looking for a fitting reply in no bytes would never end.
  if (awaited <= 0) return kReceiveOk;
  QByteArray ahead;  // read past what a round asked for: the next round's first bytes
  for (;;) {
    const int lacking = awaited - static_cast<int>(reply.size());
    QByteArray more = ahead.left(lacking);
    ahead.remove(0, more.size());
    int status = kReceiveOk;
    bool dry = false;
    if (more.size() < lacking) {
      QByteArray rest;
      status =
          ReceiveExactly(io, rest, lacking - static_cast<int>(more.size()), deadline, &ahead, &dry);
      more.append(rest);
    }
    if (status != kReceiveOk) {
      reply.clear();
      if (status == kReceiveTimeout) {
        late_command_ = sent_command_;
        late_bytes_ = awaited;
        late_until_ = QDeadlineTimer(sent_at_.isValid() ? sent_at_.elapsed() : 0);
      }
      return status;
    }
    reply.append(more);
    if (Fits(reply, sent_command_)) {
      late_command_ = -1;
      // What follows our answer is dropped, as the next send would drop it.
      if (dry) dry_since_.start();
      return kReceiveOk;
    }
    // Not our answer: a straggler, the tail of one, or noise. Ours can only start further on.
    reply.remove(0, NextPossibleStart(reply, sent_command_));
  }
}

void ReplyChannel::Forget() {
  dry_since_.invalidate();
  sent_command_ = -1;
  late_command_ = -1;
  late_bytes_ = 0;
}

}  // namespace tessaly::comm
