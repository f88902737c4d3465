#include "protocol/ScaleText.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace tessaly::protocol {

namespace {

constexpr int kSignificantDigits = 15;

QString WithSeparator(QString text, bool decimal_comma) {
  if (decimal_comma) {
    text.replace(QLatin1Char('.'), QLatin1Char(','));
  }
  return text;
}

}  // namespace

QString FormatTwoDigits(int n) {
  const QString text = QString::number(n);
  return n < 10 ? QStringLiteral("0") + text : text;
}

QString NumberText(double value, bool decimal_comma) {
  if (value == 0.0) {
    value = 0.0;  // no "-0"
  }
  // Fixed notation with enough decimals, trailing zeros cut: never an exponent, and binary
  // noise beyond the 15th significant digit is rounded away.
  const int integer_digits =
      std::fabs(value) < 1.0 ? 1 : static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
  const int decimals = std::max(0, kSignificantDigits - integer_digits);
  QString text = QString::number(value, 'f', decimals);
  if (text.contains(QLatin1Char('.'))) {
    while (text.endsWith(QLatin1Char('0'))) {
      text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.'))) {
      text.chop(1);
    }
  }
  if (text == QLatin1String("-0")) {
    text = QStringLiteral("0");
  }
  return WithSeparator(text, decimal_comma);
}

QString OneDecimalText(double value, bool decimal_comma) {
  QString text = QString::number(value, 'f', 1);
  if (text == QLatin1String("-0.0")) {
    text = QStringLiteral("0.0");
  }
  return WithSeparator(text, decimal_comma);
}

QString RatioText(int byte) { return QString::number(byte + 2) + QStringLiteral(":1"); }

QString NoiseLevelText(int byte) { return QString::number(byte - 40); }

std::optional<double> ParseNumberText(const QString& text) {
  QString plain = text.trimmed();
  plain.replace(QLatin1Char(','), QLatin1Char('.'));
  if (plain.startsWith(QLatin1Char('+'))) {
    plain.remove(0, 1);
    if (plain.startsWith(QLatin1Char('-'))) {
      return std::nullopt;
    }
  }
  if (plain.isEmpty()) {
    return std::nullopt;
  }
  // Plain digits with at most one separator: no exponent, no "inf", no thousands grouping.
  int separators = 0;
  int digits = 0;
  for (qsizetype i = 0; i < plain.size(); ++i) {
    const QChar c = plain.at(i);
    if (c.isDigit() && c.unicode() < 128) {
      ++digits;
    } else if (c == QLatin1Char('.')) {
      ++separators;
    } else if (!(c == QLatin1Char('-') && i == 0)) {
      return std::nullopt;
    }
  }
  if (digits == 0 || separators > 1) {
    return std::nullopt;
  }
  bool ok = false;
  const double value = QLocale::c().toDouble(plain, &ok);
  if (!ok || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace tessaly::protocol
