#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>

class QIODevice;
class QTimer;

namespace tessaly::comm {

// Receive results shared by the serial and TCP links.
inline constexpr int kReceiveOk = 0;
inline constexpr int kReceiveTimeout = 1;
inline constexpr int kReceiveClosed = 2;

// Waits until `io` has bytes to read (or, with `writing`, has written some), its line goes away
// or the deadline passes. The wait runs a local event loop that leaves user input queued: windows
// repaint and timers run, but no click can start a second exchange, and a request a timer makes
// meanwhile is refused by the exchange layer.
void AwaitActivity(QIODevice& io, const QDeadlineTimer& deadline, bool writing = false);

// Starts `timer` when the wait it covers first turns to the event loop, for what is left of `ms`
// by then, and stops it when the wait is over. Only the event loop runs a timer, so it fires when
// one started with the wait would; a reply that comes at once costs no timer at all.
class TimerForLoopWaits {
 public:
  TimerForLoopWaits(QTimer& timer, int ms);
  ~TimerForLoopWaits();
  TimerForLoopWaits(const TimerForLoopWaits&) = delete;
  TimerForLoopWaits& operator=(const TimerForLoopWaits&) = delete;

  // Every wait calls it before it runs the event loop.
  static void LoopWaitBegins();

 private:
  QTimer& timer_;
  int ms_;
  QElapsedTimer since_;
  bool started_ = false;
  TimerForLoopWaits* outer_;
};

// Drops whatever is waiting: a reply that came after its request had given up, or the remainder of
// a partial one. Called before every send so that it is never read as the next command's answer.
void DiscardStale(QIODevice& io);

// Reads and drops whatever arrives until the line has been quiet for `quiet_ms`; a line that
// never falls quiet is given up on after four such windows.
void SettleLine(QIODevice& io, int quiet_ms);

// Writes the whole packet, waiting at most until `deadline` for it to leave.
bool SendAll(QIODevice& io, const QByteArray& packet, const QDeadlineTimer& deadline);

// What one read from the line may take beyond the bytes a reply still lacks, when the caller
// keeps them (see ReceiveExactly).
inline constexpr int kReadAhead = 64;

// Fills `reply` with exactly `awaited` bytes. A partial reply at the deadline is dropped, so the
// link stays usable for the next exchange. With `beyond`, a read from the line may also take up to
// kReadAhead bytes that follow the reply; they are appended there. `dry` tells whether the read
// that completed the reply got less than it asked for, so the line then held nothing more.
int ReceiveExactly(QIODevice& io, QByteArray& reply, int awaited, const QDeadlineTimer& deadline,
                   QByteArray* beyond = nullptr, bool* dry = nullptr);

}  // namespace tessaly::comm
