#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "app/QtMessenger.h"
#include "app/SplashScreen.h"
#include "widgets/Theme.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  tessaly::widgets::ApplyTheme(app);
  QApplication::setApplicationName(QStringLiteral("Tessaly"));
  QApplication::setApplicationVersion(QLatin1String(tessaly::app::kSoftwareVersion));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Editor and remote control for loudspeaker DSP processors."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption device_port_option(
      QStringLiteral("device-port"),
      QStringLiteral("TCP port the devices listen on (default: TESSALY_DEVICE_PORT, else 1001)."),
      QStringLiteral("N"));
  parser.addOption(device_port_option);
  const QCommandLineOption open_first_option(
      QStringLiteral("open-first"),
      QStringLiteral("Search the network range saved in init.cfg at start and open the editor of "
                     "the first device found."));
  parser.addOption(open_first_option);
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
