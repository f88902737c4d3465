#include "app/AboutDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "app/AppState.h"
#include "app/VersionLines.h"
#include "widgets/ClickLabel.h"

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

  auto* ok_image = new widgets::ClickLabel(this);
  ok_image->setObjectName(QStringLiteral("okImage"));
  ok_image->setPixmap(style()->standardIcon(QStyle::SP_DialogOkButton).pixmap(24, 24));
  ok_image->setCursor(Qt::PointingHandCursor);
  auto* ok_label = new widgets::ClickLabel(QStringLiteral("OK"), this);
  ok_label->setObjectName(QStringLiteral("okLabel"));
  ok_label->setCursor(Qt::PointingHandCursor);
  connect(ok_image, &widgets::ClickLabel::clicked, this, &QDialog::close);
  connect(ok_label, &widgets::ClickLabel::clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_image);
  buttons->addWidget(ok_label);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(NamedLabel("titleLabel", QStringLiteral("Tessaly"), this));
  layout->addLayout(grid);
  layout->addLayout(buttons);
}

}  // namespace tessaly::app
