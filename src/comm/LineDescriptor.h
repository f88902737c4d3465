#pragma once

#include <QtGlobal>

class QIODevice;

namespace tessaly::comm {

// The operating system's handle behind an open serial port or a connected TCP socket, used
// directly on the hot path of an exchange: Qt's buffering around it costs every exchange extra
// system calls (a poll before each read, a size query, an event-loop wake-up when its write
// notifier is switched on and off) that a 13-byte request and reply do not need. Only this class
// talks to the operating system; where the platform or the line offers no handle, valid() is false
// and the caller goes through the QIODevice as before.
//
// Any end or error is left for Qt to find: the caller then uses the QIODevice, whose own read or
// write meets the same condition and updates the line's state and error as it always did.
class LineDescriptor {
 public:
  explicit LineDescriptor(QIODevice& io);

  bool valid() const { return handle_ >= 0; }
  // Forget the handle: the rest of the exchange goes through the QIODevice.
  void Drop() { handle_ = -1; }

  // Reads at most `size` bytes that have already arrived: the count (0 when none have), or -1 at
  // an end or an error.
  qint64 ReadNow(char* data, qint64 size) const;
  // Writes what the line takes at once: the count (0 when it takes nothing now), or -1 at an error.
  qint64 WriteNow(const char* data, qint64 size) const;
  // Waits at most `ms` for bytes and reads at most `size` of them: the count, 0 when nothing came
  // in that time, or -1 at an end or an error (a line that wakes the wait with nothing to read
  // has hung up).
  qint64 ReadWithin(char* data, qint64 size, int ms) const;

 private:
  qintptr handle_ = -1;
  [[maybe_unused]] bool socket_ = false;
};

}  // namespace tessaly::comm
