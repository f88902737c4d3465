#include "comm/SerialAccess.h"

#include <QDir>
#include <QFileInfo>

namespace tessaly::comm {

bool SerialAccessDenied(const QString& device_path) {
  // Qt asks the system whether the user running us may read and write it.
  const QFileInfo port(device_path);
  return port.exists() && !(port.isReadable() && port.isWritable());
}

QString SerialAccessDeniedText(const QString& com_name, const QString& device_path) {
  return QStringLiteral(
             "%1 (%2) could not be opened: this user may not use serial ports. Add the user to "
             "the dialout group (sudo usermod -aG dialout $USER), then log out and in again.")
      .arg(com_name, QDir::toNativeSeparators(device_path));
}

}  // namespace tessaly::comm
