#include "editor/EqSection.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "editor/CrossoverControls.h"
#include "editor/EditorSupport.h"
#include "editor/EqBandControls.h"
#include "editor/EqFileActions.h"
#include "editor/EqGraphPanel.h"
#include "editor/MeasurementControls.h"
#include "model/EditPath.h"
#include "protocol/Offsets.h"

namespace tessaly::editor {
EqSection::EqSection(EditorContext& context, int channel, QWidget* parent)
    : QWidget(parent), context_(context), channel_(channel) {
  setObjectName(QStringLiteral("eqControls"));
  const protocol::Layout& layout = protocol::LayoutOfType(DeviceTypeOf(context));

  panel_ = new EqGraphPanel(context, channel, this);
  read_out_ = new QLabel(this);
  read_out_->setObjectName(QStringLiteral("freqGainLabel"));
  read_out_->setMinimumWidth(
      fontMetrics().horizontalAdvance(QStringLiteral("Freq=20000Hz; Gain=-15.5dB")));
  connect(panel_, &EqGraphPanel::readOut, read_out_, &QLabel::setText);

  auto* cursor = new QPushButton(QStringLiteral("Cursor"), this);
  cursor->setObjectName(QStringLiteral("cursorButton"));
  cursor->setCheckable(true);
  connect(cursor, &QPushButton::toggled, panel_, &EqGraphPanel::SetCursorShown);

  bypass_ = new QCheckBox(QStringLiteral("Bypass"), this);
  bypass_->setObjectName(QStringLiteral("eqBypassCheck"));
  connect(bypass_, &QCheckBox::clicked, this, &EqSection::OnBypassClicked);

  auto* flat = new QPushButton(QStringLiteral("Flat EQ"), this);
  flat->setObjectName(QStringLiteral("eqFlatButton"));
  connect(flat, &QPushButton::clicked, this, &EqSection::FlattenEq);

  auto* import = new QPushButton(QStringLiteral("Import EQ..."), this);
  import->setObjectName(QStringLiteral("importEqButton"));
  connect(import, &QPushButton::clicked, this,
          [this] { ImportEqFromFile(context_, channel_, this); });
  auto* export_eq = new QPushButton(QStringLiteral("Export EQ..."), this);
  export_eq->setObjectName(QStringLiteral("exportEqButton"));
  connect(export_eq, &QPushButton::clicked, this,
          [this] { ExportEqToFile(context_, channel_, this); });

  auto* tools = new QVBoxLayout;
  tools->addWidget(bypass_);
  tools->addWidget(flat);
  tools->addWidget(import);
  tools->addWidget(export_eq);
  tools->addWidget(cursor);
  tools->addWidget(read_out_);
  tools->addWidget(new MeasurementControls(context_, channel_, panel_, this));
  tools->addStretch(1);

  auto* band_row = new QHBoxLayout;
  band_row->setSpacing(2);
  for (int b = 0; b < layout.BandCount(channel); ++b) {
    auto* controls = new EqBandControls(context, channel, b, this);
    bands_.push_back(controls);
    band_row->addWidget(controls);
    connect(panel_, &EqGraphPanel::markerMoved, controls,
            [controls](int band, const graph::MarkerValue& value) {
              if (band == controls->band()) controls->ShowDragged(value);
            });
  }

  // An output's crossovers close its row of bands and take the row's spare width.
  if (layout.IsOutput(channel)) {
    for (const bool low_pass : {false, true}) {
      auto* filter = new CrossoverControls(context, channel, low_pass, this);
      filter->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
      band_row->addWidget(filter, 1, Qt::AlignTop);
    }
  }

  // The graph takes the section's whole width; the bands stand under it.
  auto* graph_row = new QHBoxLayout;
  graph_row->addWidget(panel_, 1);
  graph_row->addLayout(tools);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addLayout(graph_row, 1);
  column->addLayout(band_row);

  connect(&context_.edits, &model::EditPath::parameterChanged, this,
          [this](int slot, int ch, model::ParamId id, int) {
            if (slot == context_.slot && ch == channel_ && id == model::ParamId::kEqBypass) {
              RefreshBypass();
            }
          });
  connect(&context_.edits, &model::EditPath::programReplaced, this, [this](int slot) {
    if (slot == context_.slot) RefreshBypass();
  });
  RefreshBypass();
}

EqBandControls* EqSection::band(int band) const {
  return band >= 0 && band < static_cast<int>(bands_.size()) ? bands_[band] : nullptr;
}

void EqSection::RefreshBypass() {
  const QSignalBlocker quiet(bypass_);
  bypass_->setChecked(context_.edits.Index(Target(context_, model::ParamId::kEqBypass, channel_)) ==
                      1);
}

void EqSection::OnBypassClicked(bool checked) {
  RefreshBypass();
  // Every band of the channel, and of its linked channels, is redrawn: that can take a moment.
  QApplication::setOverrideCursor(Qt::BusyCursor);
  context_.edits.SetIndex(Target(context_, model::ParamId::kEqBypass, channel_), checked ? 1 : 0);
  QApplication::restoreOverrideCursor();
}

void EqSection::FlattenEq() {
  const device::MessageAnswer answer =
      context_.messenger.Show({device::MessageIcon::kQuestion, QString::fromLatin1(kEqFlatTitle),
                               QString::fromLatin1(kAreYouSure), device::MessageButtons::kYesNo});
  if (answer == device::MessageAnswer::kNo) return;
  context_.edits.SetIndex(Target(context_, model::ParamId::kEqFlat, channel_), 1);
}

}  // namespace tessaly::editor
