#include "cli/ValueParsers.h"

#include "protocol/ScaleText.h"

namespace tessaly::cli {
namespace {

QString Folded(const QString& text) {
  QString out;
  for (const QChar c : text) {
    if (!c.isSpace()) out += c.toLower();
  }
  return out;
}

}  // namespace

std::optional<bool> ParseOnOff(const QString& text) {
  const QString t = Folded(text);
  if (t == QLatin1String("on") || t == QLatin1String("1") || t == QLatin1String("true") ||
      t == QLatin1String("yes")) {
    return true;
  }
  if (t == QLatin1String("off") || t == QLatin1String("0") || t == QLatin1String("false") ||
      t == QLatin1String("no")) {
    return false;
  }
  return std::nullopt;
}

std::optional<double> ParseNumber(const QString& text) { return protocol::ParseNumberText(text); }

std::optional<int> ParseChoice(const QString& text, const QStringList& captions,
                               const QList<QStringList>& aliases) {
  bool is_number = false;
  const int number = text.trimmed().toInt(&is_number, 10);
  if (is_number) {
    if (number >= 0 && number < captions.size()) return number;
    return std::nullopt;
  }
  const QString wanted = Folded(text);
  if (wanted.isEmpty()) return std::nullopt;
  for (int i = 0; i < captions.size(); ++i) {
    if (Folded(captions[i]) == wanted) return i;
    if (i < aliases.size()) {
      for (const QString& alias : aliases[i]) {
        if (Folded(alias) == wanted) return i;
      }
    }
  }
  return std::nullopt;
}

Outcome BadValue(const QString& value, const QString& what) {
  return Outcome::Usage(QStringLiteral("\"%1\" is not %2.").arg(value, what));
}

}  // namespace tessaly::cli
