#include "cli/Commands.h"

#include <functional>
#include <map>

namespace tessaly::cli {

Outcome RunCommand(Session& session) {
  using Runner = std::function<Outcome(Session&, const QStringList&)>;
  static const std::map<QString, Runner> kCommands = {
      {QStringLiteral("scan"), RunScan},       {QStringLiteral("identify"), RunIdentify},
      {QStringLiteral("readout"), RunReadout}, {QStringLiteral("set"), RunSet},
      {QStringLiteral("send"), RunSend},       {QStringLiteral("curve"), RunCurve},
      {QStringLiteral("help"), RunHelp},
  };
  const CliOptions& options = session.options();
  if (options.help)
    return RunHelp(session,
                   options.command.isEmpty() ? QStringList{} : QStringList{options.command});
  const auto it = kCommands.find(options.command);
  if (it == kCommands.end()) {
    return Outcome::Usage(
        QStringLiteral("Unknown command \"%1\"; try --help.").arg(options.command));
  }
  return it->second(session, options.arguments);
}

}  // namespace tessaly::cli
