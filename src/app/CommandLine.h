#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <optional>

namespace tessaly::app {

// The application's command line: --help, --version, --device-port N and --open-first.
class CommandLine {
 public:
  CommandLine();

  QCommandLineParser& parser() { return parser_; }
  const QCommandLineOption device_port{QStringLiteral("device-port"),
                                       QStringLiteral("TCP port the devices listen on (default: "
                                                      "TESSALY_DEVICE_PORT, else 1001)."),
                                       QStringLiteral("N")};
  const QCommandLineOption open_first{
      QStringLiteral("open-first"),
      QStringLiteral("Search the network range saved in init.cfg at start and open the editor of "
                     "the first device found.")};

 private:
  QCommandLineParser parser_;
};

// Answers --help, --version and a command line that cannot be read before any window system is
// needed, so they work without a display as the command-line tools do: the exit status to end
// with, or nullopt to go on and start the windows.
std::optional<int> AnswerWithoutDisplay(int argc, char* argv[]);

}  // namespace tessaly::app
