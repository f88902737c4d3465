#include <QJsonArray>
#include <QJsonObject>

#include "cli/Commands.h"
#include "comm/Packet.h"
#include "connect/Exchange.h"
#include "device/Commands.h"

namespace tessaly::cli {
namespace {

// A byte in decimal or with a 0x prefix in hex.
std::optional<uint8_t> ParseByte(const QString& text) {
  bool ok = false;
  const QString t = text.trimmed();
  const int value = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toInt(&ok, 16)
                                                                           : t.toInt(&ok, 10);
  if (!ok || value < 0 || value > 255) return std::nullopt;
  return static_cast<uint8_t>(value);
}

}  // namespace

Outcome RunSend(Session& session, const QStringList& args) {
  if (args.isEmpty() || args.size() > 1 + static_cast<int>(comm::Params{}.size())) {
    return Outcome::Usage(QStringLiteral("send needs COMMAND and at most eight parameters."));
  }
  const auto command = ParseByte(args[0]);
  if (!command) {
    return Outcome::Usage(QStringLiteral("\"%1\" is not a command byte 0 to 255.").arg(args[0]));
  }
  if (comm::IsDataBlockCommand(*command)) {
    return Outcome::Usage(
        QStringLiteral("send does not carry the data blocks of command %1.").arg(*command));
  }
  comm::Params params{};
  for (int i = 1; i < args.size(); ++i) {
    const auto byte = ParseByte(args[i]);
    if (!byte) {
      return Outcome::Usage(
          QStringLiteral("\"%1\" is not a parameter byte 0 to 255.").arg(args[i]));
    }
    params[static_cast<size_t>(i - 1)] = *byte;
  }

  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const comm::ExchangeResult sent = session.comm().Exchange(kCliSlot, *command, params);
  if (!sent.answered()) {
    return Outcome::Device(QStringLiteral("The device at %1 did not answer command %2.")
                               .arg(session.Where())
                               .arg(*command));
  }
  const std::span<const uint8_t> reply = sent.Bytes();
  CliOutput& out = session.output();
  if (out.json()) {
    QJsonObject object;
    object[QStringLiteral("command")] = *command;
    QJsonArray list;
    for (const uint8_t p : params) list.append(p);
    object[QStringLiteral("params")] = list;
    object[QStringLiteral("reply")] = HexBytes(reply);
    out.Json(object);
  } else if (!reply.empty()) {
    out.Line(HexBytes(reply));
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli
