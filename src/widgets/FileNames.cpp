#include "widgets/FileNames.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tessaly::widgets {

QStringList FilterExtensions(const QString& name_filter) {
  static const QRegularExpression kPattern(QStringLiteral(R"(\*\.([A-Za-z0-9_]+))"));
  QStringList extensions;
  for (const QRegularExpressionMatch& match : kPattern.globalMatch(name_filter)) {
    const QString extension = match.captured(1).toLower();
    if (!extensions.contains(extension)) extensions << extension;
  }
  return extensions;
}

QString WithFilterExtension(const QString& path, const QString& name_filter) {
  const QStringList extensions = FilterExtensions(name_filter);
  const QString name = QFileInfo(path).fileName();
  if (extensions.isEmpty() || name.isEmpty()) return path;
  for (const QString& extension : extensions) {
    if (name.endsWith(QLatin1Char('.') + extension, Qt::CaseInsensitive) &&
        name.size() > extension.size() + 1) {
      return path;
    }
  }
  return path + QLatin1Char('.') + extensions.front();
}

}  // namespace tessaly::widgets
