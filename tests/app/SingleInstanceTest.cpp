#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/LockHolderProcess.h"

namespace tessaly::app {
namespace {

TEST(SingleInstance, OneHolderAtATimeAndADeadHoldersLockIsStale) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("tessaly.lock"));
  SingleInstance first(path);
  SingleInstance second(path);
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_TRUE(first.TryAcquire()) << "asking again keeps the lock";
  EXPECT_FALSE(second.TryAcquire());
  EXPECT_FALSE(second.IsHeld());
  first.Release();

  test::LockHolderProcess other(path);
  ASSERT_TRUE(other.locked());
  // An instance that has run for a day still counts: age alone never makes the lock stale.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-1),
                               QFileDevice::FileModificationTime));
  file.close();
  EXPECT_FALSE(second.TryAcquire()) << "another running instance holds the lock";
  other.Kill();
  ASSERT_TRUE(QFile::exists(path)) << "a killed process leaves its lock file behind";
  EXPECT_TRUE(second.TryAcquire()) << "a dead holder's lock is stale";
  EXPECT_TRUE(second.IsHeld());
}

}  // namespace
}  // namespace tessaly::app
