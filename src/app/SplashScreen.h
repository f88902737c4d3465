#pragma once

#include <QLocale>
#include <QString>
#include <QWidget>
#include <memory>

#include "app/SingleInstance.h"
#include "app/StartupChecks.h"

class QTimer;

namespace tessaly::app {

class AppState;
class MainWindow;

inline constexpr int kSplashMs = 2000;

// What the splash measures and locks; the application takes the real machine's, tests play any.
struct SplashEnvironment {
  ScreenFacts screen;
  QLocale locale;
  QString lock_path;

  static SplashEnvironment OfThisMachine();
};

// The start-up window: refuses a second instance, checks the display, takes the locale's decimal
// symbol, and after two seconds hands over to the main window.
class SplashScreen : public QWidget {
  Q_OBJECT

 public:
  SplashScreen(AppState& state, SplashEnvironment environment, QWidget* parent = nullptr);
  ~SplashScreen() override;

  // The start-up checks. False when the program must end: another instance is running.
  bool Load();

  MainWindow* main_window() const { return main_.get(); }
  const SingleInstance& instance_lock() const { return instance_; }

 signals:
  // The main window is shown; the splash is closing. Null when the main window could not be set
  // up and the program is ending.
  void mainWindowOpened(MainWindow* window);

 private:
  void OnSplashTimer();

  AppState& state_;
  SplashEnvironment environment_;
  SingleInstance instance_;
  QTimer* splash_timer_ = nullptr;
  std::unique_ptr<MainWindow> main_;
};

}  // namespace tessaly::app
