#include "editor/EditorCaption.h"

#include "comm/DeviceTable.h"

namespace tessaly::editor {

QString DeviceCaption(int16_t connection_mode, const QString& ip_address, const QString& model) {
  const QString link = connection_mode == comm::kLinkTcp
                           ? QStringLiteral("IP:") + ip_address + QLatin1Char(' ')
                           : QStringLiteral("USB ");
  return link + model;
}

QString EditorCaption(int16_t connection_mode, const QString& ip_address, const QString& model,
                      const QString& program_name, LoadedFrom from) {
  const QString what = from == LoadedFrom::kFile ? QStringLiteral(" - file loaded: ")
                                                 : QStringLiteral(" - program loaded: ");
  return DeviceCaption(connection_mode, ip_address, model) + what + program_name;
}

QString OfflineCaption(const QString& model, const QString& file_name) {
  return QStringLiteral("Offline ") + model + QStringLiteral(" - file loaded: ") + file_name;
}

}  // namespace tessaly::editor
