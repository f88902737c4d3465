#pragma once

namespace tessaly::comm {

class Comm;

// Pauses the keep-alive for as long as it lives: a sequence of exchanges that spans several
// timer events (a dialog, a read-out, a transfer) must not be interleaved with keep-alive polls.
// Holds nest; the keep-alive runs again when the last one goes.
class KeepAliveHold {
 public:
  explicit KeepAliveHold(Comm& comm);
  ~KeepAliveHold();
  KeepAliveHold(KeepAliveHold&& other) noexcept : comm_(other.comm_) { other.comm_ = nullptr; }
  KeepAliveHold(const KeepAliveHold&) = delete;
  KeepAliveHold& operator=(const KeepAliveHold&) = delete;
  KeepAliveHold& operator=(KeepAliveHold&&) = delete;

 private:
  Comm* comm_;
};

// Keeps every request back for as long as it lives, so that showing a whole image through the
// parameter operations sends nothing. Locks nest: a display inside another leaves the outer lock
// standing.
class TransferLock {
 public:
  explicit TransferLock(Comm& comm);
  ~TransferLock();
  TransferLock(const TransferLock&) = delete;
  TransferLock& operator=(const TransferLock&) = delete;

 private:
  Comm& comm_;
};

}  // namespace tessaly::comm
