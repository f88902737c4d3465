#include "app/FilesSettingsPage.h"

#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "settings/FilePreferences.h"

namespace tessaly::app {

FilesSettingsPage::FilesSettingsPage(const programs::FileLocations& defaults, QWidget* parent)
    : SettingsPage(parent) {
  setObjectName(QStringLiteral("filesPage"));
  new QFormLayout(this);
  documents_ = AddFolderRow(
      "documents", QStringLiteral("&Presets and projects:"), QStringLiteral("B&rowse..."),
      defaults.documents,
      QStringLiteral("Folder where preset and project files are saved and their dialogs open; "
                     "empty uses the folder shown greyed"));
  backups_ = AddFolderRow(
      "backups", QStringLiteral("&Backups:"), QStringLiteral("Bro&wse..."), defaults.backups,
      QStringLiteral("Folder that keeps a device's program before recall, preset load or project "
                     "store overwrites it; empty uses the folder shown greyed"));
  setFocusProxy(documents_);
}

QLineEdit* FilesSettingsPage::AddFolderRow(const char* name, const QString& caption,
                                           const QString& browse, const QString& fallback,
                                           const QString& tip) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QLatin1String(name) + QStringLiteral("Edit"));
  edit->setPlaceholderText(QDir::toNativeSeparators(QDir::cleanPath(fallback)));
  edit->setToolTip(tip);
  edit->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
  auto* button = new QPushButton(browse, this);
  button->setObjectName(QLatin1String(name) + QStringLiteral("BrowseButton"));
  button->setToolTip(QStringLiteral("Choose the folder"));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, edit, caption] {
    const QString start = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
    QString title = caption;
    title.remove(QLatin1Char('&')).chop(1);
    const QString chosen = QFileDialog::getExistingDirectory(this, title, start);
    if (!chosen.isEmpty()) edit->setText(QDir::toNativeSeparators(chosen));
  });
  auto* row = new QHBoxLayout;
  row->addWidget(edit, 1);
  row->addWidget(button);
  auto* label = new QLabel(caption, this);
  label->setBuddy(edit);
  static_cast<QFormLayout*>(layout())->addRow(label, row);
  return edit;
}

programs::FileLocations FilesSettingsPage::Applied(programs::FileLocations defaults,
                                                   const settings::Settings& settings) {
  const settings::FilePreferences chosen = settings::FilePreferences::Read(settings);
  if (!chosen.documents.isEmpty()) defaults.documents = chosen.documents;
  if (!chosen.backups.isEmpty()) defaults.backups = chosen.backups;
  return defaults;
}

QString FilesSettingsPage::Title() const { return QStringLiteral("&Files"); }

void FilesSettingsPage::Load(const settings::Settings& settings) {
  const settings::FilePreferences chosen = settings::FilePreferences::Read(settings);
  documents_->setText(QDir::toNativeSeparators(chosen.documents));
  backups_->setText(QDir::toNativeSeparators(chosen.backups));
}

void FilesSettingsPage::Store(settings::Settings& settings) const {
  const auto folder = [](const QLineEdit* edit) {
    const QString text = edit->text().trimmed();
    return text.isEmpty() ? text : QDir::fromNativeSeparators(text);
  };
  settings::FilePreferences{folder(documents_), folder(backups_)}.Write(settings);
}

}  // namespace tessaly::app
