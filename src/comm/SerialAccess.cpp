#include "comm/SerialAccess.h"

#include <QDir>
#include <QFile>
#include <cerrno>

#include <unistd.h>

namespace tessaly::comm {

bool SerialAccessDenied(const QString& device_path) {
  const QByteArray path = QFile::encodeName(device_path);
  if (::access(path.constData(), F_OK) != 0) return false;
  return ::access(path.constData(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
}

QString SerialAccessDeniedText(const QString& com_name, const QString& device_path) {
  return QStringLiteral(
             "%1 (%2) could not be opened: this user may not use serial ports. Add the user to "
             "the dialout group (sudo usermod -aG dialout $USER), then log out and in again.")
      .arg(com_name, QDir::toNativeSeparators(device_path));
}

}  // namespace tessaly::comm
