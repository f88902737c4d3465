#include "cli/Commands.h"

#include <map>

namespace tessaly::cli {

Outcome RunCommandWords(Session& session, const QString& command, const QStringList& args) {
  using Runner = Outcome (*)(Session&, const QStringList&);
  static const std::map<QString, Runner> kCommands = {
      {QStringLiteral("scan"), RunScan},
      {QStringLiteral("identify"), RunIdentify},
      {QStringLiteral("readout"), RunReadout},
      {QStringLiteral("set"), RunSet},
      {QStringLiteral("send"), RunSend},
      {QStringLiteral("curve"), RunCurve},
      {QStringLiteral("get"), RunGet},
      {QStringLiteral("params"), RunParams},
      {QStringLiteral("help"), RunHelp},
      {QStringLiteral("batch"), RunBatch},
      {QStringLiteral("programs"), RunPrograms},
      {QStringLiteral("store"), RunStore},
      {QStringLiteral("recall"), RunRecall},
      {QStringLiteral("preset"), RunPreset},
      {QStringLiteral("project"), RunProject},
      {QStringLiteral("copy"), RunCopy},
      {QStringLiteral("diff"), RunDiff},
      {QStringLiteral("meters"), RunMeters},
      {QStringLiteral("eq"), RunEq},
      {QStringLiteral("push"), RunPush},
      {QStringLiteral("paths"), RunPaths},
  };
  const auto it = kCommands.find(command);
  if (it == kCommands.end()) {
    return Outcome::Usage(QStringLiteral("Unknown command \"%1\"; try --help.").arg(command));
  }
  return it->second(session, args);
}

Outcome RunCommand(Session& session) {
  const CliOptions& options = session.options();
  if (options.help) {
    return RunHelp(session,
                   options.command.isEmpty() ? QStringList{} : QStringList{options.command});
  }
  return RunCommandWords(session, options.command, options.arguments);
}

}  // namespace tessaly::cli
