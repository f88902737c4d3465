#include "cli/CliOutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace tessaly::cli {

CliOutput::CliOutput(bool json) : json_(json), out_(stdout), err_(stderr) {}

void CliOutput::Line(const QString& text) {
  out_ << text << '\n';
  out_.flush();
}

void CliOutput::Json(const QJsonValue& value) {
  QJsonDocument document;
  if (value.isArray()) {
    document.setArray(value.toArray());
  } else {
    document.setObject(value.toObject());
  }
  out_ << QString::fromUtf8(document.toJson(QJsonDocument::Indented));
  out_.flush();
}

void CliOutput::Error(const QString& sentence) {
  err_ << "tessaly-cli: " << sentence << '\n';
  err_.flush();
}

void CliOutput::Trace(bool outgoing, const QByteArray& bytes) {
  err_ << (outgoing ? "> " : "< ") << HexBytes(bytes) << '\n';
  err_.flush();
}

QString HexBytes(std::span<const uint8_t> bytes) {
  QString text;
  for (const uint8_t b : bytes) {
    if (!text.isEmpty()) text += QLatin1Char(' ');
    text += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
  }
  return text;
}

QString HexBytes(const QByteArray& bytes) {
  return HexBytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                           static_cast<size_t>(bytes.size())));
}

QString HexBlock(std::span<const uint8_t> bytes) {
  QString text;
  for (const uint8_t b : bytes) text += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
  return text.toUpper();
}

}  // namespace tessaly::cli
