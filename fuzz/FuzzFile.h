#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// The loaders read real files, so each input is written to one file in a folder of the process,
// in memory when the system has a memory file system (a disk costs most of each run).
inline QString WriteFuzzFile(const uint8_t* data, size_t size, const char* name) {
  static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                  ? QStringLiteral("/dev/shm/tessaly-fuzz-XXXXXX")
                                  : QString());
  const QString path = folder.filePath(QString::fromLatin1(name));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) __builtin_trap();
  file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  return path;
}
