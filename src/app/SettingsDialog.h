#pragma once

#include <QDialog>
#include <QList>

#include "programs/FileLocations.h"

class QTabWidget;

namespace tessaly::settings {
class Settings;
}

namespace tessaly::app {

class SettingsPage;

// File → Settings: the application's own preferences, one tab per page. OK writes every page to
// the store; Cancel leaves it as it was.
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  SettingsDialog(settings::Settings& settings, const programs::FileLocations& defaults,
                 QWidget* parent = nullptr);

 private:
  void AddPage(SettingsPage* page);
  void Keep();

  settings::Settings& settings_;
  QTabWidget* tabs_ = nullptr;
  QList<SettingsPage*> pages_;
};

}  // namespace tessaly::app
