#include "app/SplashScreen.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppState.h"
#include "app/FilesSettingsPage.h"
#include "app/MainWindow.h"

namespace tessaly::app {

SplashEnvironment SplashEnvironment::OfThisMachine() {
  return {PrimaryScreenFacts(), QLocale::system(), SingleInstance::DefaultLockPath()};
}

SplashScreen::SplashScreen(AppState& state, SplashEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      state_(state),
      environment_(std::move(environment)),
      instance_(environment_.lock_path) {
  setObjectName(QStringLiteral("splashScreen"));
  setWindowTitle(QStringLiteral("Tessaly"));

  auto* title = new QLabel(QStringLiteral("Tessaly"), this);
  title->setObjectName(QStringLiteral("titleLabel"));
  QFont big = title->font();
  big.setPointSize(big.pointSize() * 3);
  big.setBold(true);
  title->setFont(big);
  title->setAlignment(Qt::AlignCenter);
  auto* version =
      new QLabel(QStringLiteral("Version %1").arg(QLatin1String(kSoftwareVersion)), this);
  version->setObjectName(QStringLiteral("versionLabel"));
  version->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
  layout->addWidget(version);
  resize(420, 220);

  splash_timer_ = new QTimer(this);
  splash_timer_->setObjectName(QStringLiteral("splashTimer"));
  splash_timer_->setSingleShot(true);
  splash_timer_->setInterval(kSplashMs);
  connect(splash_timer_, &QTimer::timeout, this, &SplashScreen::OnSplashTimer);
}

SplashScreen::~SplashScreen() = default;

bool SplashScreen::Load() {
  device::Messenger& messenger = state_.messenger();
  if (!instance_.TryAcquire()) {
    messenger.Show(SecondInstanceMessage());
    return false;
  }

  const ScreenFacts& screen = environment_.screen;
  state_.screen_dpi = ScreenDpiOf(screen);
  state_.dpi_scale = DpiScaleOf(screen);
  if (EditWindowExceedsScreen(screen)) messenger.Show(EditWindowTooLargeMessage());

  state_.decimal_comma = DecimalCommaFor(environment_.locale);
  state_.demo_firmware_version = QString::fromLatin1(kDemoFirmwareVersion);
  state_.demo_second_version = QString::fromLatin1(kDemoSecondVersion);
  state_.software_version = QString::fromLatin1(kSoftwareVersion);

  if (BelowMinimumResolution(screen)) messenger.Show(MinimumResolutionMessage());

  // Settings and the preset and project folders are found below the folder the program was
  // started in, whatever a file dialog later makes current.
  state_.program_folder = QDir::currentPath();
  QDir::setCurrent(state_.program_folder);
  state_.locations = programs::FileLocations::OfThisBuild(state_.program_folder);
  state_.settings.Open(settings::SettingsPath(state_.locations.config));
  state_.locations = FilesSettingsPage::Applied(state_.locations, state_.settings);

  splash_timer_->start();
  return true;
}

void SplashScreen::OnSplashTimer() {
  splash_timer_->stop();
  main_ = std::make_unique<MainWindow>(state_);
  if (!main_->Load()) {
    main_.reset();
    emit mainWindowOpened(nullptr);
    close();
    QCoreApplication::exit(1);
    return;
  }
  main_->show();
  emit mainWindowOpened(main_.get());
  close();
}

}  // namespace tessaly::app
