#include "graph/TextFile.h"

#include <QFile>

namespace tessaly::graph {

std::optional<QString> ReadTextFile(const QString& path, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("%1 cannot be read: %2.").arg(path, file.errorString());
    return std::nullopt;
  }
  if (file.size() > kMaxTextFileBytes) {
    if (error) *error = QStringLiteral("%1 is too large for a text of this kind.").arg(path);
    return std::nullopt;
  }
  return QString::fromUtf8(file.readAll());
}

}  // namespace tessaly::graph
