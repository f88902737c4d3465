#include "app/SingleInstance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

namespace tessaly::app {
namespace {

// A separate process that takes the lock, tells the parent, and then waits to be killed, as a
// running (and later crashing) instance would.
class LockHolderProcess {
 public:
  explicit LockHolderProcess(const QString& path) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      SingleInstance holder(path);
      const char ok = holder.TryAcquire() ? '1' : '0';
      (void)!write(ready[1], &ok, 1);
      for (;;) pause();
    }
    close(ready[1]);
    char ok = '0';
    if (pid_ > 0 && read(ready[0], &ok, 1) == 1) locked_ = ok == '1';
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

TEST(SingleInstance, SecondHolderInTheSameProcessIsRefused) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("tessaly.lock"));
  SingleInstance first(path);
  SingleInstance second(path);
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_TRUE(first.TryAcquire()) << "asking again keeps the lock";
  EXPECT_FALSE(second.TryAcquire());
  EXPECT_FALSE(second.IsHeld());
  first.Release();
  EXPECT_TRUE(second.TryAcquire());
}

TEST(SingleInstance, LiveProcessBlocksAndItsCrashDoesNotStick) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("tessaly.lock"));
  LockHolderProcess other(path);
  ASSERT_TRUE(other.locked());

  SingleInstance mine(path);
  EXPECT_FALSE(mine.TryAcquire()) << "another running instance holds the lock";

  other.Kill();
  ASSERT_TRUE(QFile::exists(path)) << "a killed process leaves its lock file behind";
  EXPECT_TRUE(mine.TryAcquire()) << "a dead holder's lock is stale";
  EXPECT_TRUE(mine.IsHeld());
}

TEST(SingleInstance, OldLockOfALiveProcessStaysValid) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("tessaly.lock"));
  LockHolderProcess other(path);
  ASSERT_TRUE(other.locked());
  // An instance that has run for a day still counts: age alone never makes the lock stale.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1),
                               QFileDevice::FileModificationTime));
  file.close();
  SingleInstance mine(path);
  EXPECT_FALSE(mine.TryAcquire());
}

TEST(SingleInstance, DefaultLockIsPerUser) {
  const QString path = SingleInstance::DefaultLockPath();
  EXPECT_TRUE(path.endsWith(QStringLiteral(".lock")));
  EXPECT_TRUE(path.contains(QStringLiteral("tessaly")));
}

}  // namespace
}  // namespace tessaly::app
