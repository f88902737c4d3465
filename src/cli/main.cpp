#include <QCoreApplication>

#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "version/Version.h"

int main(int argc, char* argv[]) {
  using namespace tessaly::cli;
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationVersion(QLatin1String(tessaly::kVersion));
  const ParseResult parsed = ParseCommandLine(app.arguments().mid(1));
  CliOutput output(parsed.options.json);
  if (!parsed.ok()) {
    output.Error(parsed.error);
    return kExitUsage;
  }
  if (parsed.options.version && !parsed.options.help) {
    output.Line(QStringLiteral("tessaly-cli %1").arg(QLatin1String(tessaly::kVersion)));
    return kExitOk;
  }
  Outcome outcome;
  {
    Session session(parsed.options, output);
    outcome = RunCommand(session);
  }
  // A batch has already said what failed, line by line.
  if (!outcome.ok() && !outcome.message.isEmpty()) output.Error(outcome.message);
  return outcome.code;
}
