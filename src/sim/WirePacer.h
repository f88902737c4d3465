#pragma once

#include <QByteArray>
#include <chrono>
#include <deque>
#include <optional>

namespace tessaly::sim {

// One direction of a serial line: bytes handed in at once come out one by one, each when a line
// at `baud` would have finished carrying it (ten bits a byte: start, eight data, stop).
class WirePacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit WirePacer(int baud);

  // A byte's time on the wire.
  Clock::duration ByteTime() const { return byte_time_; }
  // Queues `bytes` handed to the line at `now`; they go out after whatever is still queued.
  void Push(const QByteArray& bytes, Clock::time_point now);
  // The bytes whose time on the wire has ended by `now`, in order.
  QByteArray TakeDue(Clock::time_point now);
  // When to hand on the next group of bytes: the latest one through within `gather` of the next
  // byte, so a line's last byte is never held back; nothing when none is queued.
  std::optional<Clock::time_point> NextHandover(Clock::duration gather) const;
  void Clear() { queue_.clear(); }

 private:
  struct Byte {
    Clock::time_point due;
    char value;
  };
  Clock::duration byte_time_;
  Clock::time_point line_free_{};
  std::deque<Byte> queue_;
};

}  // namespace tessaly::sim
