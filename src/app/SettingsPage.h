#pragma once

#include <QString>
#include <QWidget>

namespace tessaly::settings {
class Settings;
}

namespace tessaly::app {

// One page of the Settings window: it shows what the store holds and writes back what the user
// chose when the window is confirmed.
class SettingsPage : public QWidget {
 public:
  using QWidget::QWidget;

  // The name in the window's page list, with its mnemonic.
  virtual QString Title() const = 0;
  virtual void Load(const settings::Settings& settings) = 0;
  virtual void Store(settings::Settings& settings) const = 0;
};

}  // namespace tessaly::app
