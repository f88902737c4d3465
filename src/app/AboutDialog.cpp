#include "app/AboutDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include "app/AppState.h"
#include "app/ClickLabel.h"
#include "app/VersionLines.h"

namespace tessaly::app {

namespace {

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  return label;
}

}  // namespace

AboutDialog::AboutDialog(const AppState& state, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutDialog"));
  setWindowTitle(QStringLiteral("Version"));

  const VersionLines lines = VersionLinesFor(state.software_version, state.comm_state());

  auto* grid = new QGridLayout;
  grid->addWidget(NamedLabel("Label1", QStringLiteral("Software version:"), this), 0, 0);
  auto* lbl_version = NamedLabel("LblVersion", lines.software, this);
  grid->addWidget(lbl_version, 0, 1);
  grid->addWidget(NamedLabel("Label2", QStringLiteral("Firmware version:"), this), 1, 0);
  auto* lbl_firmware = NamedLabel("LblFirmware", lines.firmware, this);
  grid->addWidget(lbl_firmware, 1, 1);
  auto* label3 = NamedLabel("Label3", QStringLiteral("Second version:"), this);
  grid->addWidget(label3, 2, 0);
  auto* label4 = NamedLabel("Label4", lines.second, this);
  grid->addWidget(label4, 2, 1);
  label3->setVisible(lines.second_visible);
  label4->setVisible(lines.second_visible);

  auto* img_btn1 = new ClickLabel(this);
  img_btn1->setObjectName(QStringLiteral("ImgBtn1"));
  img_btn1->setPixmap(style()->standardIcon(QStyle::SP_DialogOkButton).pixmap(24, 24));
  img_btn1->setCursor(Qt::PointingHandCursor);
  auto* lbl_btn1 = new ClickLabel(QStringLiteral("OK"), this);
  lbl_btn1->setObjectName(QStringLiteral("LblBtn1"));
  lbl_btn1->setCursor(Qt::PointingHandCursor);
  connect(img_btn1, &ClickLabel::Clicked, this, &QDialog::close);
  connect(lbl_btn1, &ClickLabel::Clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(img_btn1);
  buttons->addWidget(lbl_btn1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(NamedLabel("LblTitle", QStringLiteral("Tessaly"), this));
  layout->addLayout(grid);
  layout->addLayout(buttons);
}

}  // namespace tessaly::app
