#include "editor/CrossoverControls.h"

#include <QComboBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <algorithm>

#include "editor/EditorSupport.h"
#include "model/DecimalSnap.h"
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
      prefix_(low_pass ? QStringLiteral("lp") : QStringLiteral("hp")) {
  setObjectName(prefix_ + QStringLiteral("Frame"));
  slope_ = new QComboBox(this);
  slope_->setObjectName(prefix_ + QStringLiteral("SlopeCombo"));
  for (int s = 0; s < protocol::kXoverSlopeCount; ++s) slope_->addItem(protocol::XoverSlopeName(s));
  connect(slope_, &QComboBox::activated, this, &CrossoverControls::PickSlope);
  freq_ = new widgets::ValueEdit(this);
  freq_->setObjectName(prefix_ + QStringLiteral("FreqEdit"));
  freq_->setKeyRules(widgets::ValueEdit::KeyRules::kUnsigned);
  freq_->setDecimalComma(context.decimal_comma);
  connect(freq_, &widgets::ValueEdit::textCommitted, this,
          &CrossoverControls::OnFrequencyCommitted);
  connect(freq_, &widgets::ValueEdit::keyRefused, this, [this] { Warn(kIncorrectFValue); });

  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Slope/Type"), slope_);
  form->addRow(QStringLiteral("Frequency [Hz]"), freq_);

  connect(&context_.edits, &model::EditPath::ParameterChanged, this,
          [this](int slot, int ch, const QString& id, int) {
            if (slot == context_.slot && ch == channel_ && id.startsWith(prefix_)) Refresh();
          });
  connect(&context_.edits, &model::EditPath::ProgramReplaced, this, [this](int slot) {
    if (slot == context_.slot) Refresh();
  });
  Refresh();
}

model::EditTarget CrossoverControls::Filter(const char* field) const {
  const QByteArray id = (prefix_ + QLatin1Char('.') + QLatin1String(field)).toLatin1();
  return Target(context_, id.constData(), channel_);
}

void CrossoverControls::Refresh() {
  const QSignalBlocker quiet(slope_);
  slope_->setCurrentIndex(context_.edits.Index(Filter("slope")));
  freq_->setText(QString::number(context_.edits.Index(Filter("freq"))));
}

void CrossoverControls::Warn(const char* text) {
  context_.messenger.Show({comm::MessageIcon::kExclamation, QString::fromLatin1(kWarningTitle),
                           QString::fromLatin1(text), comm::MessageButtons::kOk});
}

void CrossoverControls::PickSlope(int slope) {
  const auto typed = model::ParseDecimal(freq_->text(), true);
  if (!typed) {
    Warn(kIncorrectFrequencyValue);
    Refresh();
    return;
  }
  const int hz = protocol::FrequencyFromTyped(static_cast<double>(*typed) / 1e9);
  freq_->setText(QString::number(hz));
  const model::EditTarget freq = Filter("freq");
  // One packet carries the filter with both.
  std::vector<model::FieldIndex> fields;
  if (hz != context_.edits.Index(freq)) fields.push_back({freq, hz});
  fields.push_back({Filter("slope"), slope});
  context_.edits.SetIndexes(fields);
  Refresh();
}

void CrossoverControls::OnFrequencyCommitted(const QString& text) {
  model::ParseOptions options;
  options.decimal_comma = true;
  const model::EditOutcome outcome = context_.edits.SetText(Filter("freq"), text, options);
  if (outcome.status == model::EditStatus::kRefused) {
    Warn(kIncorrectFValue);
    return;
  }
  Refresh();
}

}  // namespace tessaly::editor
