#include "app/SingleInstance.h"

#include <QDir>
#include <QStandardPaths>

namespace tessaly::app {

QString SingleInstance::DefaultLockPath() {
  // The runtime folder is per user; the temporary folder is shared, so the name carries the user.
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (!folder.isEmpty() && QDir().mkpath(folder)) {
    return QDir(folder).filePath(QStringLiteral("tessaly.lock"));
  }
  QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
  if (user.isEmpty()) user = QStringLiteral("user");
  return QDir(QDir::tempPath()).filePath(QStringLiteral("tessaly-%1.lock").arg(user));
}

SingleInstance::SingleInstance(QString lock_path)
    : lock_path_(std::move(lock_path)), lock_(std::make_unique<QLockFile>(lock_path_)) {
  // Age alone must never make a live instance's lock look stale: only a dead holder does.
  lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::TryAcquire() {
  if (lock_->isLocked()) return true;
  return lock_->tryLock(0);
}

bool SingleInstance::IsHeld() const { return lock_->isLocked(); }

void SingleInstance::Release() { lock_->unlock(); }

}  // namespace tessaly::app
