#include "editor/MatchWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "editor/EditorSupport.h"
#include "graph/MeasurementBook.h"
#include "graph/TextFile.h"
#include "model/EditPath.h"
#include "model/EqImport.h"
#include "protocol/CommonOperations.h"
#include "protocol/ProgramStore.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {
namespace {

const QString kTitle = QStringLiteral("Match Target");

QString Error(const model::MatchError& e) {
  return QStringLiteral("RMS %1 dB, max %2 dB")
      .arg(QString::number(e.rms_db, 'f', 2), QString::number(e.max_db, 'f', 2));
}

}  // namespace

MatchWindow::MatchWindow(EditorContext& context, int channel, QWidget* parent)
    : QDialog(parent), context_(context), channel_(channel) {
  setObjectName(QStringLiteral("matchWindow"));
  const int type = DeviceTypeOf(context);
  setWindowTitle(QStringLiteral("%1 - %2").arg(kTitle, protocol::ChannelName(type, channel)));
  const protocol::Layout& layout = protocol::LayoutOfType(type);
  first_band_ = layout.GlobalBand(channel, 0).value_or(0);

  measurement_choice_ = new QComboBox(this);
  measurement_choice_->setObjectName(QStringLiteral("measurementCombo"));
  ListMeasurements();
  connect(measurement_choice_, &QComboBox::activated, this, [this] { measurement_chosen_ = true; });
  connect(&graph::Measurements(), &graph::MeasurementBook::changed, this,
          [this](int slot, int channel) {
            if (slot == context_.slot && (channel == channel_ || channel < 0)) ListMeasurements();
          });
  target_choice_ = new QComboBox(this);
  target_choice_->setObjectName(QStringLiteral("targetCombo"));
  target_choice_->addItem(QStringLiteral("Flat"));
  target_choice_->addItem(QStringLiteral("Target file..."));
  connect(target_choice_, &QComboBox::activated, this, [this](int index) {
    if (index == 0) {
      target_.reset();
      return;
    }
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Target curve"), {},
                                                      QStringLiteral("Text (*.txt);;All (*)"));
    if (path.isEmpty() || !LoadTarget(path)) target_choice_->setCurrentIndex(target_ ? 1 : 0);
  });
  low_ = new QSpinBox(this);
  low_->setObjectName(QStringLiteral("lowSpin"));
  high_ = new QSpinBox(this);
  high_->setObjectName(QStringLiteral("highSpin"));
  for (QSpinBox* box : {low_, high_}) {
    box->setRange(protocol::kMinFrequency, protocol::kMaxFrequency);
    box->setSuffix(QStringLiteral(" Hz"));
  }
  low_->setValue(40);
  high_->setValue(16000);
  boost_ = new QDoubleSpinBox(this);
  boost_->setObjectName(QStringLiteral("boostSpin"));
  boost_->setRange(0.0, 15.0);
  boost_->setSingleStep(0.5);
  boost_->setDecimals(1);
  boost_->setValue(3.0);
  boost_->setSuffix(QStringLiteral(" dB"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Measurement"), measurement_choice_);
  form->addRow(QStringLiteral("Target"), target_choice_);
  form->addRow(QStringLiteral("From"), low_);
  form->addRow(QStringLiteral("To"), high_);
  form->addRow(QStringLiteral("Largest boost"), boost_);

  auto* lock_row = new QHBoxLayout;
  lock_row->addWidget(new QLabel(QStringLiteral("Locked bands:"), this));
  for (int b = 0; b < layout.BandCount(channel); ++b) {
    auto* lock = new QCheckBox(QString::number(b + 1), this);
    lock->setObjectName(QStringLiteral("lockCheck%1").arg(b));
    lock->setChecked(graph::Measurements().Locked(context_.slot, first_band_ + b));
    connect(lock, &QCheckBox::toggled, this, [this, b](bool on) {
      graph::Measurements().SetLocked(context_.slot, first_band_ + b, on);
    });
    locks_.push_back(lock);
    lock_row->addWidget(lock);
  }
  lock_row->addStretch(1);

  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("matchTable"));
  table_->setColumnCount(3);
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("Band"), QStringLiteral("Now"), QStringLiteral("Proposed")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setStretchLastSection(true);
  error_ = new QLabel(this);
  error_->setObjectName(QStringLiteral("errorLabel"));

  auto* propose = new QPushButton(QStringLiteral("Propose"), this);
  propose->setObjectName(QStringLiteral("proposeButton"));
  connect(propose, &QPushButton::clicked, this, [this] { Propose(); });
  apply_ = new QPushButton(QStringLiteral("Apply"), this);
  apply_->setObjectName(QStringLiteral("applyButton"));
  apply_->setEnabled(false);
  connect(apply_, &QPushButton::clicked, this, [this] { Apply(); });
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(propose);
  buttons->addWidget(apply_);
  buttons->addWidget(close);

  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addLayout(lock_row);
  column->addWidget(table_, 1);
  column->addWidget(error_);
  column->addLayout(buttons);
  resize(640, 560);
}

bool MatchWindow::LoadTarget(const QString& path) {
  QString error;
  const auto text = graph::ReadTextFile(path, &error);
  graph::MeasurementOrFault read =
      text ? graph::ParseMeasurement(*text) : graph::MeasurementOrFault{};
  if (text && !read.measurement) error = path + QStringLiteral(": ") + read.fault.Sentence();
  if (!read.measurement) {
    context_.messenger.Show(
        {device::MessageIcon::kExclamation, kTitle, error, device::MessageButtons::kOk});
    return false;
  }
  target_ = graph::MeasurementCurve(*read.measurement, 0);
  target_choice_->setCurrentIndex(1);
  return true;
}

void MatchWindow::ListMeasurements() {
  const graph::ChannelMeasurements& set = graph::Measurements().Of(context_.slot, channel_);
  const QString chosen = measurement_choice_->currentText();
  measurement_choice_->clear();
  for (const graph::LoadedMeasurement& m : set.items) measurement_choice_->addItem(m.name);
  if (set.items.size() > 1) measurement_choice_->addItem(QStringLiteral("Average of all"));
  // Until the user chooses, the newest: the measurement just taken.
  const int kept = measurement_chosen_ ? measurement_choice_->findText(chosen) : -1;
  measurement_choice_->setCurrentIndex(kept >= 0 ? kept : static_cast<int>(set.items.size()) - 1);
  measurement_choice_->setEnabled(measurement_choice_->count() > 1);
}

model::MatchRequest MatchWindow::Request() const {
  model::MatchRequest request;
  const graph::ChannelMeasurements& set = graph::Measurements().Of(context_.slot, channel_);
  const auto chosen = static_cast<size_t>(std::max(measurement_choice_->currentIndex(), 0));
  request.measured = chosen < set.items.size() ? graph::MeasuredCurve(set, set.items[chosen])
                                               : graph::AverageMeasuredCurve(set);
  if (target_) request.target = *target_;
  // Where the target has no level there is nothing to match.
  for (size_t k = 0; k < request.target.size(); ++k) {
    if (!std::isfinite(request.target[k])) request.measured[k] = NAN;
  }
  const protocol::ProgramData& data = *context_.edits.store().Data(context_.slot);
  const protocol::SlotState& state = *context_.edits.store().State(context_.slot);
  const graph::ResponseCurves& curves = context_.edits.curves();
  for (int p = 0; p < graph::kGraphPoints; ++p) {
    request.fixed[p] = curves.ChannelValue(context_.slot, channel_, p).value_or(0.0);
  }
  for (size_t b = 0; b < locks_.size(); ++b) {
    const int band = static_cast<int>(b);
    request.bands.push_back(*protocol::ReadEqBand(data, channel_, band));
    request.bypassed.push_back(state.band_bypass[static_cast<size_t>(first_band_ + band)]);
    request.locked.push_back(locks_[b]->isChecked());
    // The fixed part is the channel's response without the bands the match may change.
    if (request.locked.back()) continue;
    for (int p = 0; p < graph::kGraphPoints; ++p) {
      request.fixed[p] -= curves.BandValue(context_.slot, first_band_ + band, p).value_or(0.0);
    }
  }
  request.low_hz = std::min(low_->value(), high_->value());
  request.high_hz = std::max(low_->value(), high_->value());
  request.boost_limit_db = boost_->value();
  return request;
}

bool MatchWindow::Propose() {
  if (graph::Measurements().Of(context_.slot, channel_).items.empty()) {
    context_.messenger.Show({device::MessageIcon::kInformation, kTitle,
                             QStringLiteral("Load a measurement of the channel first."),
                             device::MessageButtons::kOk});
    return false;
  }
  proposal_ = model::MatchTarget(Request());
  ShowProposal();
  return true;
}

void MatchWindow::ShowProposal() {
  const protocol::ProgramData& data = *context_.edits.store().Data(context_.slot);
  table_->setRowCount(static_cast<int>(proposal_->bands.size()));
  for (int b = 0; b < static_cast<int>(proposal_->bands.size()); ++b) {
    QString proposed = model::DescribeBand(proposal_->bands[static_cast<size_t>(b)]);
    if (locks_[static_cast<size_t>(b)]->isChecked()) proposed += QStringLiteral(" (locked)");
    const QStringList cells = {QString::number(b + 1),
                               model::DescribeBand(*protocol::ReadEqBand(data, channel_, b)),
                               proposed};
    for (int c = 0; c < cells.size(); ++c) table_->setItem(b, c, new QTableWidgetItem(cells[c]));
  }
  table_->resizeColumnsToContents();
  error_->setText(QStringLiteral("Before: %1. After: %2.")
                      .arg(Error(proposal_->before), Error(proposal_->after)));
  apply_->setEnabled(true);
}

model::EditOutcome MatchWindow::Apply() {
  if (!proposal_) return {};
  const protocol::ProgramData& data = *context_.edits.store().Data(context_.slot);
  const protocol::SlotState& state = *context_.edits.store().State(context_.slot);
  model::ImportPlan plan;
  plan.channel = channel_;
  for (int b = 0; b < static_cast<int>(proposal_->bands.size()); ++b) {
    model::ImportBand band;
    band.band = b;
    band.before = *protocol::ReadEqBand(data, channel_, b);
    band.bypassed_before = state.band_bypass[static_cast<size_t>(first_band_ + b)];
    band.held = proposal_->bands[static_cast<size_t>(b)];
    band.bypassed_after = locks_[static_cast<size_t>(b)]->isChecked() && band.bypassed_before;
    plan.bands.push_back(band);
  }
  const model::EditOutcome out = model::ApplyImport(
      context_.edits, context_.slot, plan,
      QStringLiteral("EQ Match %1").arg(protocol::ChannelName(DeviceTypeOf(context_), channel_)));
  if (out.status == model::EditStatus::kSendFailed) {
    context_.messenger.Show({device::MessageIcon::kExclamation, kTitle,
                             QStringLiteral("The device did not answer; the match stopped."),
                             device::MessageButtons::kOk});
  }
  proposal_.reset();
  apply_->setEnabled(false);
  return out;
}

}  // namespace tessaly::editor
