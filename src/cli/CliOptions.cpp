#include "cli/CliOptions.h"

#include <QCommandLineParser>
#include <QHostAddress>

#include "device/DeviceTypes.h"

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
  const QCommandLineOption tcp(QStringLiteral("tcp"), QString(), QStringLiteral("ADDRESS"));
  const QCommandLineOption com(QStringLiteral("com"), QString(), QStringLiteral("N"));
  const QCommandLineOption type(QStringLiteral("type"), QString(), QStringLiteral("T"));
  const QCommandLineOption json(QStringLiteral("json"));
  const QCommandLineOption trace(QStringLiteral("trace"));
  const QCommandLineOption keep_going(QStringLiteral("keep-going"));
  const QCommandLineOption help(QStringLiteral("help"));
  const QCommandLineOption version(QStringLiteral("version"));
  QCommandLineParser parser;
  parser.addOptions({tcp, com, type, json, trace, keep_going, help, version});
  // Whatever follows the command is the command's own, even when it looks like an option.
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  if (!parser.parse(QStringList{QStringLiteral("tessaly-cli")} + arguments)) {
    result.error = parser.errorText();
    return result;
  }
  o.help = parser.isSet(help);
  o.version = parser.isSet(version);
  o.json = parser.isSet(json);
  o.trace = parser.isSet(trace);
  o.keep_going = parser.isSet(keep_going);
  const QStringList tcp_values = parser.values(tcp);
  const QStringList com_values = parser.values(com);
  if (tcp_values.size() + com_values.size() > 1) {
    result.error = QStringLiteral("Give only one of --tcp and --com.");
    return result;
  }
  if (!tcp_values.isEmpty()) {
    o.transport_given = true;
    o.transport = Transport::kTcp;
    if (!ParseTcpTarget(tcp_values.front(), &o.address, &o.port)) {
      result.error = QStringLiteral("\"%1\" is not an IPv4 address with an optional port.")
                         .arg(tcp_values.front());
      return result;
    }
  }
  if (!com_values.isEmpty()) {
    o.transport_given = true;
    o.transport = Transport::kCom;
    const auto number = ParseInteger(com_values.front(), 1, kMaxComPort);
    if (!number) {
      result.error = QStringLiteral("\"%1\" is not a COM port number from 1 to %2.")
                         .arg(com_values.front())
                         .arg(kMaxComPort);
      return result;
    }
    o.com = *number;
  }
  if (parser.isSet(type)) {
    const auto code = ParseInteger(parser.value(type), 0, device::kTypeCount - 1);
    if (!code) {
      result.error = QStringLiteral("\"%1\" is not a device type code from 0 to %2.")
                         .arg(parser.value(type))
                         .arg(device::kTypeCount - 1);
      return result;
    }
    o.type = *code;
  }
  const QStringList words = parser.positionalArguments();
  if (!words.isEmpty()) {
    o.command = words.front();
    o.arguments = words.mid(1);
  }
  if (o.command.isEmpty() && !o.help && !o.version) {
    result.error = QStringLiteral("No command given; try --help.");
  }
  return result;
}

}  // namespace tessaly::cli
