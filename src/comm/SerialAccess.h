#pragma once

#include <QString>

namespace tessaly::comm {

// The port exists but this user may not open it: on Debian, serial ports belong to the dialout
// group and a user outside it is refused.
bool SerialAccessDenied(const QString& device_path);

// Says so, and how to fix it.
QString SerialAccessDeniedText(const QString& com_name, const QString& device_path);

}  // namespace tessaly::comm
