#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QTextStream>
#include <cstdint>
#include <span>

namespace tessaly::cli {

// Standard output for results, standard error for errors and the packet trace.
class CliOutput {
 public:
  explicit CliOutput(bool json);

  bool json() const { return json_; }
  void Line(const QString& text);
  void Json(const QJsonValue& value);
  void Error(const QString& sentence);
  // "> 8D 1F ..." for a packet sent, "< ..." for a reply.
  void Trace(bool outgoing, const QByteArray& bytes);

 private:
  bool json_;
  QTextStream out_;
  QTextStream err_;
};

// Upper-case hex bytes separated by one blank: "8D 1F 00".
QString HexBytes(std::span<const uint8_t> bytes);
QString HexBytes(const QByteArray& bytes);
// The same without blanks, as the read-out's JSON holds memory blocks: "8D1F00".
QString HexBlock(std::span<const uint8_t> bytes);

}  // namespace tessaly::cli
