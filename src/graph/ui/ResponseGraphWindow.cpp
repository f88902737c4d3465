#include "graph/ui/ResponseGraphWindow.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "device/DeviceTypes.h"
#include "graph/MeasurementBook.h"
#include "graph/ui/GraphPlot.h"
#include "protocol/Offsets.h"
#include "protocol/ValueLists.h"
#include "settings/Settings.h"
#include "widgets/FileDialog.h"
#include "widgets/StatusNote.h"
#include "widgets/Theme.h"

namespace tessaly::graph {

ResponseGraphWindow::ResponseGraphWindow(const ResponseCurves& curves, int slot, int device_type,
                                         device::Messenger& messenger, QWidget* parent)
    : QWidget(parent),
      curves_(curves),
      messenger_(messenger),
      slot_(slot),
      device_type_(device_type) {
  setObjectName(QStringLiteral("responseGraphWindow"));
  setWindowTitle(QStringLiteral("View All"));
  const protocol::Layout& layout = protocol::LayoutOfType(device_type);
  const bool family_b = protocol::FamilyOf(device_type) == protocol::Family::kB;

  plot_ = new GraphPlot(this);
  auto* side = new QVBoxLayout;
  for (int ch = 0; ch < layout.channel_count; ++ch) {
    const QString name = protocol::ChannelName(device_type, ch).trimmed();
    auto* check = new QCheckBox(name, this);
    check->setObjectName(QStringLiteral("viewCheck") + QString::number(ch));
    check->setChecked(true);
    const Rgb rgb = ChannelColour(family_b, ch);
    QPalette colours = check->palette();
    // The channel's hue, lifted where it would not read on the window's ground.
    colours.setColor(QPalette::WindowText, widgets::ReadableOn(QColor(rgb.r, rgb.g, rgb.b),
                                                               colours.color(QPalette::Window)));
    check->setPalette(colours);
    connect(check, &QCheckBox::toggled, this, &ResponseGraphWindow::OnChoiceChanged);
    checks_.push_back(check);
    side->addWidget(check);
    if (!layout.IsOutput(ch)) {
      groups_.push_back(nullptr);
      sums_.push_back(nullptr);
      continue;
    }
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("sumGroup") + QString::number(ch));
    auto* buttons = new QButtonGroup(group);
    auto* rows = new QVBoxLayout(group);
    rows->setContentsMargins(12, 2, 2, 2);
    rows->setSpacing(0);
    for (int input = -1; input < layout.first_output; ++input) {
      auto* option = new QRadioButton(
          input < 0 ? QStringLiteral("alone")
                    : QStringLiteral("+ ") + protocol::ChannelName(device_type, input).trimmed(),
          group);
      option->setObjectName(QStringLiteral("sumOption%1_%2").arg(ch).arg(input + 1));
      option->setChecked(input < 0);
      buttons->addButton(option, input);
      rows->addWidget(option);
    }
    connect(buttons, &QButtonGroup::idToggled, this, [this](int, bool on) {
      if (on) OnChoiceChanged();
    });
    groups_.push_back(group);
    sums_.push_back(buttons);
    side->addWidget(group);
  }
  side->addStretch(1);
  auto* csv = new QPushButton(QStringLiteral("Export CSV..."), this);
  csv->setObjectName(QStringLiteral("exportCsvButton"));
  connect(csv, &QPushButton::clicked, this, &ResponseGraphWindow::AskExportCsv);
  auto* png = new QPushButton(QStringLiteral("Export PNG..."), this);
  png->setObjectName(QStringLiteral("exportPngButton"));
  connect(png, &QPushButton::clicked, this, &ResponseGraphWindow::AskExportPng);
  side->addWidget(csv);
  side->addWidget(png);

  auto* row = new QHBoxLayout(this);
  row->addWidget(plot_, 1);
  row->addLayout(side);
  resize(900, 520);
  plot_->SetMeasurementSlot(slot_);
  connect(&Measurements(), &MeasurementBook::changed, plot_, [this](int slot, int) {
    if (slot == slot_) plot_->update();
  });
  choose_path_ = [this](const QString& title, const QString& filter) {
    return widgets::AskForFile(this, true, title, QString(), filter);
  };
  OnChoiceChanged();
}

QString ResponseGraphWindow::ChoiceKey() const {
  return QStringLiteral("graphs/%1/").arg(device::ModelName(device_type_).trimmed());
}

void ResponseGraphWindow::RememberChoices(settings::Settings& settings) {
  const QString shown = settings.Value(ChoiceKey() + QStringLiteral("shown")).toString();
  const QStringList sums =
      settings.Value(ChoiceKey() + QStringLiteral("sums")).toString().split(QLatin1Char(','));
  // Choices of another layout (a changed channel count) are not guessed at.
  if (shown.size() == static_cast<qsizetype>(checks_.size()) && sums.size() == shown.size()) {
    for (size_t ch = 0; ch < checks_.size(); ++ch) {
      const QSignalBlocker quiet(checks_[ch]);
      checks_[ch]->setChecked(shown[static_cast<qsizetype>(ch)] == QLatin1Char('1'));
      if (sums_[ch] == nullptr) continue;
      if (QAbstractButton* option = sums_[ch]->button(sums[static_cast<qsizetype>(ch)].toInt())) {
        const QSignalBlocker quiet_sum(sums_[ch]);
        option->setChecked(true);
      }
    }
  }
  settings_ = &settings;
  OnChoiceChanged();
}

void ResponseGraphWindow::OnChoiceChanged() {
  CurveChoice choice = AllChannels(device_type_);
  QString shown;
  QStringList sums;
  for (size_t ch = 0; ch < checks_.size(); ++ch) {
    choice.shown[ch] = checks_[ch]->isChecked();
    if (groups_[ch] != nullptr) {
      groups_[ch]->setEnabled(choice.shown[ch]);
      choice.sum_input[ch] = sums_[ch]->checkedId();
    }
    shown += choice.shown[ch] ? QLatin1Char('1') : QLatin1Char('0');
    sums << QString::number(sums_[ch] != nullptr ? sums_[ch]->checkedId() : -1);
  }
  if (settings_ != nullptr) {
    settings_->SetValue(ChoiceKey() + QStringLiteral("shown"), shown);
    settings_->SetValue(ChoiceKey() + QStringLiteral("sums"), sums.join(QLatin1Char(',')));
  }
  shown_ = ShownCurves(curves_, slot_, device_type_, choice);
  plot_->SetCurves(&shown_);
}

void ResponseGraphWindow::Redraw() { OnChoiceChanged(); }

bool ResponseGraphWindow::ExportCsv(const QString& path) const {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
  const QByteArray text = CurvesCsv(shown_).toUtf8();
  return file.write(text) == text.size() && file.commit();
}

bool ResponseGraphWindow::ExportPng(const QString& path) const {
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && plot_->grab().save(&file, "PNG") && file.commit();
}

void ResponseGraphWindow::TellExportFailed(const QString& title, const QString& text) {
  messenger_.Show({device::MessageIcon::kExclamation, title, text, device::MessageButtons::kOk});
}

void ResponseGraphWindow::AskExportCsv() {
  const QString path =
      choose_path_(QStringLiteral("Export CSV"), QStringLiteral("CSV files (*.csv)"));
  if (path.isEmpty()) return;
  if (!ExportCsv(path)) {
    TellExportFailed(QStringLiteral("Export CSV"),
                     QStringLiteral("The curves could not be written to %1.").arg(path));
    return;
  }
  widgets::ShowStatusNote(*this, widgets::SavedNote(QStringLiteral("Curves exported"), path));
}

void ResponseGraphWindow::AskExportPng() {
  const QString path =
      choose_path_(QStringLiteral("Export PNG"), QStringLiteral("PNG images (*.png)"));
  if (path.isEmpty()) return;
  if (!ExportPng(path)) {
    TellExportFailed(QStringLiteral("Export PNG"),
                     QStringLiteral("The picture could not be written to %1.").arg(path));
    return;
  }
  widgets::ShowStatusNote(*this, widgets::SavedNote(QStringLiteral("Picture exported"), path));
}

}  // namespace tessaly::graph
