#include "cli/CliOptions.h"

#include <QHostAddress>

#include "comm/DeviceTypes.h"

namespace tessaly::cli {
namespace {

constexpr int kMaxComPort = 64;

}  // namespace

std::optional<int> ParseInteger(const QString& text, int low, int high) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok, 10);
  if (!ok || value < low || value > high) return std::nullopt;
  return value;
}

bool ParseTcpTarget(const QString& text, QString* address, std::optional<quint16>* port) {
  const QStringList parts = text.split(QLatin1Char(':'));
  if (parts.size() > 2) return false;
  QHostAddress host;
  if (!host.setAddress(parts[0]) || host.protocol() != QAbstractSocket::IPv4Protocol ||
      parts[0].count(QLatin1Char('.')) != 3) {
    return false;
  }
  *address = host.toString();
  port->reset();
  if (parts.size() == 2) {
    const auto number = ParseInteger(parts[1], 1, 65535);
    if (!number) return false;
    *port = static_cast<quint16>(*number);
  }
  return true;
}

ParseResult ParseCommandLine(const QStringList& arguments) {
  ParseResult result;
  CliOptions& o = result.options;
  int i = 0;
  const auto value_of = [&](const QString& option) -> std::optional<QString> {
    if (i + 1 >= arguments.size()) {
      result.error = QStringLiteral("Option %1 needs a value.").arg(option);
      return std::nullopt;
    }
    return arguments[++i];
  };
  for (; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    if (!arg.startsWith(QLatin1String("--"))) break;
    if (arg == QLatin1String("--help")) {
      o.help = true;
    } else if (arg == QLatin1String("--json")) {
      o.json = true;
    } else if (arg == QLatin1String("--trace")) {
      o.trace = true;
    } else if (arg == QLatin1String("--tcp") || arg == QLatin1String("--com")) {
      if (o.transport_given) {
        result.error = QStringLiteral("Give only one of --tcp and --com.");
        return result;
      }
      const auto value = value_of(arg);
      if (!value) return result;
      o.transport_given = true;
      if (arg == QLatin1String("--tcp")) {
        o.transport = Transport::kTcp;
        if (!ParseTcpTarget(*value, &o.address, &o.port)) {
          result.error =
              QStringLiteral("\"%1\" is not an IPv4 address with an optional port.").arg(*value);
          return result;
        }
      } else {
        o.transport = Transport::kCom;
        const auto com = ParseInteger(*value, 1, kMaxComPort);
        if (!com) {
          result.error = QStringLiteral("\"%1\" is not a COM port number from 1 to %2.")
                             .arg(*value)
                             .arg(kMaxComPort);
          return result;
        }
        o.com = *com;
      }
    } else if (arg == QLatin1String("--type")) {
      const auto value = value_of(arg);
      if (!value) return result;
      const auto type = ParseInteger(*value, 0, comm::kTypeCount - 1);
      if (!type) {
        result.error = QStringLiteral("\"%1\" is not a device type code from 0 to 3.").arg(*value);
        return result;
      }
      o.type = *type;
    } else {
      result.error = QStringLiteral("Unknown option %1.").arg(arg);
      return result;
    }
  }
  if (i < arguments.size()) {
    o.command = arguments[i];
    o.arguments = arguments.mid(i + 1);
  }
  if (o.command.isEmpty() && !o.help) {
    result.error = QStringLiteral("No command given; try --help.");
  }
  return result;
}

}  // namespace tessaly::cli
