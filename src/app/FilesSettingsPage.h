#pragma once

#include "app/SettingsPage.h"
#include "programs/FileLocations.h"

class QLineEdit;

namespace tessaly::app {

// Where presets, projects and backups go; an empty box keeps the folder the build chose, shown
// greyed in the box.
class FilesSettingsPage : public SettingsPage {
  Q_OBJECT

 public:
  explicit FilesSettingsPage(const programs::FileLocations& defaults, QWidget* parent = nullptr);

  // The build's folders with the user's choices in their place.
  static programs::FileLocations Applied(programs::FileLocations defaults,
                                         const settings::Settings& settings);

  QString Title() const override;
  void Load(const settings::Settings& settings) override;
  void Store(settings::Settings& settings) const override;

 private:
  QLineEdit* AddFolderRow(const char* name, const QString& caption, const QString& browse,
                          const QString& fallback, const QString& tip);

  QLineEdit* documents_ = nullptr;
  QLineEdit* backups_ = nullptr;
};

}  // namespace tessaly::app
