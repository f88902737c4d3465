#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "sim/SimHost.h"
#include "sim/SimOptions.h"
#include "version/Version.h"

namespace {

int signal_pipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signal_pipe[1], &byte, 1);
}

void Print(FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList arguments = app.arguments();
  arguments.removeFirst();
  const tessaly::sim::SimCommandLine line =
      tessaly::sim::ParseSimCommandLine(arguments, qEnvironmentVariable("TESSALY_DEVICE_PORT"));
  if (line.help) {
    Print(stdout, tessaly::sim::SimHelpText());
    return 0;
  }
  if (line.version) {
    Print(stdout, QStringLiteral("tessaly-sim %1").arg(QLatin1String(tessaly::kVersion)));
    return 0;
  }
  if (!line.error.isEmpty()) {
    Print(stderr, QStringLiteral("tessaly-sim: %1 (see --help)").arg(line.error));
    return 2;
  }

  // Signals only poke a socket; the quit happens on the event loop.
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) {
    Print(stderr, QStringLiteral("tessaly-sim: cannot set up signal handling"));
    return 1;
  }
  QSocketNotifier signal_notifier(signal_pipe[0], QSocketNotifier::Read);
  QObject::connect(&signal_notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  tessaly::sim::SimHost host;
  if (line.trace) host.SetTrace([](const QString& text) { Print(stderr, text); });
  for (const tessaly::sim::SimDeviceConfig& config : line.devices) {
    QString error;
    const int index = host.Start(config, &error);
    if (index < 0) {
      Print(stderr, QStringLiteral("tessaly-sim: %1").arg(error));
      return 1;
    }
    Print(stdout, host.Describe(index));
  }
  const int result = app.exec();
  Print(stderr, QStringLiteral("tessaly-sim: stopped"));
  return result;
}
