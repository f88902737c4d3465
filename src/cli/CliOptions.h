#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tessaly::cli {

enum class Transport { kTcp, kCom };

// What the global options chose and which command to run with which arguments.
struct CliOptions {
  Transport transport = Transport::kTcp;
  QString address;              // --tcp: device address
  std::optional<quint16> port;  // --tcp ADDRESS:PORT
  int com = 0;                  // --com N
  bool transport_given = false;
  std::optional<int> type;  // --type T
  bool json = false;
  bool trace = false;
  bool keep_going = false;  // batch: run every line even after one failed
  bool help = false;
  bool version = false;
  QString command;
  QStringList arguments;  // the command's own arguments
};

struct ParseResult {
  CliOptions options;
  QString error;  // empty when the line was understood
  bool ok() const { return error.isEmpty(); }
};

// Reads the command line without the program name. Global options come before the command;
// whatever follows the command belongs to it.
ParseResult ParseCommandLine(const QStringList& arguments);

// "ADDRESS" or "ADDRESS:PORT" of --tcp; false when the address is not a dotted IPv4 address or the
// port is not 1..65535.
bool ParseTcpTarget(const QString& text, QString* address, std::optional<quint16>* port);

// A whole number in [low, high]; nullopt otherwise.
std::optional<int> ParseInteger(const QString& text, int low, int high);

}  // namespace tessaly::cli
