#include "app/CommandLine.h"

#include <QCoreApplication>
#include <cstdio>

#include "app/AppState.h"

namespace tessaly::app {

CommandLine::CommandLine() {
  parser_.setApplicationDescription(
      QStringLiteral("Editor and remote control for loudspeaker DSP processors."));
  parser_.addHelpOption();
  parser_.addVersionOption();
  parser_.addOption(device_port);
  parser_.addOption(open_first);
}

std::optional<int> AnswerWithoutDisplay(int argc, char* argv[]) {
  QCoreApplication core(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tessaly"));
  QCoreApplication::setApplicationVersion(QLatin1String(kSoftwareVersion));
  CommandLine line;
  QCommandLineParser& parser = line.parser();
  if (!parser.parse(QCoreApplication::arguments())) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(parser.errorText()));
    return 1;
  }
  if (parser.isSet(QStringLiteral("help"))) {
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(QStringLiteral("version"))) {
    std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                qPrintable(QCoreApplication::applicationVersion()));
    return 0;
  }
  return std::nullopt;
}

}  // namespace tessaly::app
