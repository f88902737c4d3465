#include <QCoreApplication>

#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "cli/Session.h"

int main(int argc, char* argv[]) {
  using namespace tessaly::cli;
  QCoreApplication app(argc, argv);
  const ParseResult parsed = ParseCommandLine(app.arguments().mid(1));
  CliOutput output(parsed.options.json);
  if (!parsed.ok()) {
    output.Error(parsed.error);
    return kExitUsage;
  }
  Outcome outcome;
  {
    Session session(parsed.options, output);
    outcome = RunCommand(session);
  }
  if (!outcome.ok()) output.Error(outcome.message);
  return outcome.code;
}
