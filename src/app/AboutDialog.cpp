#include "app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <tuple>

#include "app/AppState.h"
#include "app/VersionLines.h"
#include "connect/InitConfig.h"

namespace tessaly::app {

namespace {

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

}  // namespace

AboutDialog::AboutDialog(const AppState& state, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QStringLiteral("Version"));

  const VersionLines lines = VersionLinesFor(state.software_version, state.comm_state());

  auto* grid = new QGridLayout;
  grid->addWidget(NamedLabel("softwareCaptionLabel", QStringLiteral("Software version:"), this), 0,
                  0);
  auto* version_label = NamedLabel("versionLabel", lines.software, this);
  grid->addWidget(version_label, 0, 1);
  grid->addWidget(NamedLabel("firmwareCaptionLabel", QStringLiteral("Firmware version:"), this), 1,
                  0);
  auto* firmware_label = NamedLabel("firmwareLabel", lines.firmware, this);
  grid->addWidget(firmware_label, 1, 1);
  auto* second_caption = NamedLabel("secondCaptionLabel", QStringLiteral("Second version:"), this);
  grid->addWidget(second_caption, 2, 0);
  auto* second_version_label = NamedLabel("secondVersionLabel", lines.second, this);
  grid->addWidget(second_version_label, 2, 1);
  second_caption->setVisible(lines.second_visible);
  second_version_label->setVisible(lines.second_visible);

  // Where the program keeps the user's files, to be found and backed up.
  auto* files = new QGroupBox(QStringLiteral("Files"), this);
  auto* where = new QFormLayout(files);
  const programs::FileLocations& at = state.locations;
  const std::array<std::tuple<const char*, const char*, QString>, 3> rows = {{
      {"Settings (init.cfg):", "configPathLabel", connect::InitConfigPath(at.config)},
      {"Presets and projects:", "documentsPathLabel", at.documents},
      {"Backups:", "backupsPathLabel", at.backups},
  }};
  for (const auto& [caption, name, path] : rows) {
    QLabel* label = NamedLabel(name, QDir::toNativeSeparators(QDir::cleanPath(path)), files);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    where->addRow(QString::fromLatin1(caption), label);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(NamedLabel("titleLabel", QStringLiteral("Tessaly"), this));
  layout->addLayout(grid);
  layout->addWidget(files);
  layout->addWidget(buttons);
}

}  // namespace tessaly::app
