#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>

#include "app/SingleInstance.h"

namespace tessaly::app::test {

// A separate process that takes the instance lock, tells the parent, and waits to be killed, as
// a running (and later crashing) instance would.
class LockHolderProcess {
 public:
  explicit LockHolderProcess(const QString& path) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      SingleInstance holder(path);
      const char ok = holder.TryAcquire() ? '1' : '0';
      (void)!write(ready[1], &ok, 1);
      for (;;) pause();
    }
    close(ready[1]);
    char ok = '0';
    locked_ = pid_ > 0 && read(ready[0], &ok, 1) == 1 && ok == '1';
    close(ready[0]);
  }
  ~LockHolderProcess() { Kill(); }

  bool locked() const { return locked_; }

  // SIGKILL: the lock file stays behind exactly as after a crash.
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  bool locked_ = false;
};

}  // namespace tessaly::app::test
