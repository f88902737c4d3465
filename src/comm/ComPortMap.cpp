#include "comm/ComPortMap.h"

#include <QtGlobal>

namespace tessaly::comm {

QString ComPortMap::PortName(int com_number) const {
  if (auto it = overrides_.find(com_number); it != overrides_.end()) return it.value();
#ifdef Q_OS_WIN
  return QStringLiteral("COM%1").arg(com_number);
#else
  const QString dir = qEnvironmentVariable("TESSALY_COM_DIR");
  if (!dir.isEmpty()) return dir + QStringLiteral("/COM%1").arg(com_number);
  return QStringLiteral("/dev/ttyUSB%1").arg(com_number - 1);
#endif
}

QString ComPortMap::PortName(const QString& com_name) const {
  const int number = ComNumber(com_name);
  return number > 0 ? PortName(number) : com_name;
}

int ComPortMap::ComNumber(const QString& com_name) {
  QString text = com_name.trimmed();
  if (!text.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive)) return 0;
  bool ok = false;
  const int number = text.mid(3).trimmed().toInt(&ok);
  return ok && number > 0 ? number : 0;
}

}  // namespace tessaly::comm
