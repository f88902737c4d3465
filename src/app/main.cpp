#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/QtMessenger.h"
#include "app/SplashScreen.h"
#include "widgets/Theme.h"

int main(int argc, char* argv[]) {
  if (const std::optional<int> status = tessaly::app::AnswerWithoutDisplay(argc, argv)) {
    return *status;
  }
  QApplication app(argc, argv);
  tessaly::widgets::ApplyTheme(app);
  QApplication::setApplicationName(QStringLiteral("Tessaly"));
  QApplication::setApplicationVersion(QLatin1String(tessaly::app::kSoftwareVersion));

  tessaly::app::CommandLine line;
  QCommandLineParser& parser = line.parser();
  const QCommandLineOption& device_port_option = line.device_port;
  const QCommandLineOption& open_first_option = line.open_first;
  parser.process(app);

  tessaly::app::QtMessenger messenger;
  tessaly::app::AppState state(messenger);
  if (parser.isSet(device_port_option)) {
    bool ok = false;
    const uint port = parser.value(device_port_option).toUInt(&ok);
    if (!ok || port == 0 || port > 65535) {
      std::fprintf(stderr, "tessaly: --device-port needs a port number from 1 to 65535\n");
      return 2;
    }
    state.comm().set_device_port(static_cast<quint16>(port));
  }

  tessaly::app::SplashScreen splash(state, tessaly::app::SplashEnvironment::OfThisMachine());
  QObject::connect(
      &splash, &tessaly::app::SplashScreen::mainWindowOpened,
      [&messenger, open_first = parser.isSet(open_first_option)](tessaly::app::MainWindow* window) {
        messenger.set_parent(window);
        if (open_first && window != nullptr) {
          QTimer::singleShot(0, window, &tessaly::app::MainWindow::ConnectAndOpenFirst);
        }
      });
  if (!splash.Load()) return 1;
  splash.show();
  return QApplication::exec();
}
