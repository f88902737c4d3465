#pragma once

#include "comm/CommState.h"

namespace tessaly::programs {

// Holds TransferLock for a scope, so TxCommand stays silent while a whole image is shown, and
// restores what it found on every way out. Restoring (rather than clearing) lets a display that
// runs inside another one leave the outer lock standing.
class TransferLockGuard {
 public:
  explicit TransferLockGuard(comm::CommState& state)
      : state_(state), previous_(state.transfer_lock) {
    state_.transfer_lock = true;
  }
  ~TransferLockGuard() { state_.transfer_lock = previous_; }
  TransferLockGuard(const TransferLockGuard&) = delete;
  TransferLockGuard& operator=(const TransferLockGuard&) = delete;

 private:
  comm::CommState& state_;
  bool previous_;
};

}  // namespace tessaly::programs
