#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace tessaly::app {

// Keeps a second copy of the program from running for the same user. The lock names the holding
// process, so a lock left behind by a crashed instance is recognised as stale and taken over.
class SingleInstance {
 public:
  // The per-user lock file the application uses.
  static QString DefaultLockPath();

  explicit SingleInstance(QString lock_path = DefaultLockPath());
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this object now holds the lock (or already held it); false while another live
  // process or object holds it.
  bool TryAcquire();
  bool IsHeld() const;
  void Release();

  const QString& lock_path() const { return lock_path_; }

 private:
  QString lock_path_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace tessaly::app
