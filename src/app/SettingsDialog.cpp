#include "app/SettingsDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/FilesSettingsPage.h"
#include "settings/Settings.h"

namespace tessaly::app {

SettingsDialog::SettingsDialog(settings::Settings& settings,
                               const programs::FileLocations& defaults, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setObjectName(QStringLiteral("settingsDialog"));
  setWindowTitle(QStringLiteral("Settings"));
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("pageTabs"));

  // A feature with preferences of its own adds its page here.
  AddPage(new FilesSettingsPage(defaults, tabs_));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::Keep);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  // The first page's own first box takes the keys, not the tab bar.
  tabs_->widget(0)->setFocus();
}

void SettingsDialog::AddPage(SettingsPage* page) {
  page->Load(settings_);
  pages_.append(page);
  tabs_->addTab(page, page->Title());
}

void SettingsDialog::Keep() {
  for (const SettingsPage* page : pages_) page->Store(settings_);
  settings_.Sync();
  accept();
}

}  // namespace tessaly::app
