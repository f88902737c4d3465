#include "editor/CrossoverControls.h"

#include <QComboBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <algorithm>

#include "editor/EditorSupport.h"
#include "editor/PendingDot.h"
#include "model/EditPath.h"
#include "protocol/ScaleWord.h"
#include "protocol/ValueLists.h"
#include "widgets/ValueEdit.h"

namespace tessaly::editor {

CrossoverControls::CrossoverControls(EditorContext& context, int channel, bool low_pass,
                                     QWidget* parent)
    : QGroupBox(low_pass ? QStringLiteral("Low Pass Filter") : QStringLiteral("High Pass Filter"),
                parent),
      context_(context),
      channel_(channel),
      prefix_(low_pass ? QStringLiteral("lp") : QStringLiteral("hp")),
      low_pass_(low_pass) {
  setObjectName(prefix_ + QStringLiteral("Frame"));
  slope_ = new QComboBox(this);
  slope_->setObjectName(prefix_ + QStringLiteral("SlopeCombo"));
  for (int s = 0; s < protocol::kXoverSlopeCount; ++s) slope_->addItem(protocol::XoverSlopeName(s));
  connect(slope_, &QComboBox::activated, this, &CrossoverControls::PickSlope);
  freq_ = new widgets::ValueEdit(this);
  freq_->setObjectName(prefix_ + QStringLiteral("FreqEdit"));
  freq_->setKeyRules(widgets::ValueEdit::KeyRules::kUnsigned);
  TakeDecimals(context, freq_);
  connect(freq_, &widgets::ValueEdit::textCommitted, this,
          &CrossoverControls::OnFrequencyCommitted);
  connect(freq_, &widgets::ValueEdit::keyRefused, this, [this] { Warn(kIncorrectFValue); });

  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Slope/Type"), slope_);
  form->addRow(QStringLiteral("Frequency [Hz]"), freq_);

  connect(
      &context_.edits, &model::EditPath::parameterChanged, this,
      [this](int slot, int ch, model::ParamId id, int) {
        if (slot == context_.slot && ch == channel_ && (id == Frequency().id || id == Slope().id)) {
          Refresh();
        }
      });
  connect(&context_.edits, &model::EditPath::programReplaced, this, [this](int slot) {
    if (slot == context_.slot) Refresh();
  });
  PendingDot::Follow(*slope_, context_.edits, Slope());
  PendingDot::Follow(*freq_, context_.edits, Frequency());
  Refresh();
}

model::EditTarget CrossoverControls::Frequency() const {
  return Target(context_, low_pass_ ? model::ParamId::kLpFrequency : model::ParamId::kHpFrequency,
                channel_);
}

model::EditTarget CrossoverControls::Slope() const {
  return Target(context_, low_pass_ ? model::ParamId::kLpSlope : model::ParamId::kHpSlope,
                channel_);
}

void CrossoverControls::Refresh() {
  const QSignalBlocker quiet(slope_);
  slope_->setCurrentIndex(context_.edits.Index(Slope()));
  freq_->setText(BoxText(context_, Frequency()));
}

void CrossoverControls::Warn(const char* text) {
  context_.messenger.Show({device::MessageIcon::kExclamation, QString::fromLatin1(kWarningTitle),
                           QString::fromLatin1(text), device::MessageButtons::kOk});
}

void CrossoverControls::PickSlope(int slope) {
  const model::EditTarget freq = Frequency();
  const model::ParseResult typed = freq.parameter().Parse(freq_->text(), TextOptions(context_));
  if (!typed.ok()) {
    Warn(kIncorrectFrequencyValue);
    Refresh();
    return;
  }
  const int hz = *typed.index;
  freq_->setText(QString::number(hz));
  // One packet carries the filter with both.
  std::vector<model::FieldIndex> fields;
  if (hz != context_.edits.Index(freq)) fields.push_back({freq, hz});
  fields.push_back({Slope(), slope});
  context_.edits.SetIndexes(fields);
  Refresh();
}

void CrossoverControls::OnFrequencyCommitted(const QString& text) {
  const model::EditOutcome outcome =
      context_.edits.SetText(Frequency(), text, TextOptions(context_));
  if (outcome.status == model::EditStatus::kRefused) {
    Warn(kIncorrectFValue);
    return;
  }
  Refresh();
}

}  // namespace tessaly::editor
