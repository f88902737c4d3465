#include "editor/DelayControls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

#include "editor/EditorSupport.h"
#include "model/EditPath.h"
#include "protocol/CommonOperations.h"
#include "protocol/ScaleDelay.h"
#include "protocol/ValueLists.h"
#include "widgets/UndoKeys.h"
#include "widgets/ValueEdit.h"

namespace tessaly::editor {
namespace {

QSpinBox* Spin(const char* name, int maximum, const QString& suffix, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(0, maximum);
  spin->setSuffix(suffix);
  // Typing digits is one value, sent on Enter or when the box is left, not per key.
  spin->setKeyboardTracking(false);
  spin->setAccelerated(true);
  widgets::LetUndoKeysPass(*spin);
  return spin;
}

}  // namespace

DelayControls::DelayControls(EditorContext& context, int channel, bool compact, QWidget* parent)
    : QWidget(parent),
      context_(context),
      target_(Target(context, model::ParamId::kDelay, channel)) {
  const int limit = protocol::DelayLimitMs(DeviceTypeOf(context), channel).value_or(0);
  edit_ = new widgets::ValueEdit(this);
  edit_->setObjectName(QStringLiteral("delayEdit"));
  edit_->setKeyRules(widgets::ValueEdit::KeyRules::kDelay);
  TakeDecimals(context, edit_);
  edit_->setAlignment(Qt::AlignRight);
  edit_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000.000")) * 3 / 2);
  edit_->setToolTip(tr("Delay; Enter applies"));
  unit_ = new QLabel(this);
  unit_->setObjectName(QStringLiteral("delayUnitLabel"));
  milliseconds_ = Spin("delayMsSpin", limit, QStringLiteral(" ms"), this);
  milliseconds_->setToolTip(tr("Whole milliseconds, up to %1").arg(limit));
  samples_ = Spin("delaySamplesSpin", protocol::kMaxDelaySamples, QStringLiteral(" smp"), this);
  samples_->setToolTip(tr("Extra samples of %1 ms").arg(protocol::kSampleMs));

  auto* text_row = new QHBoxLayout;
  text_row->setContentsMargins(0, 0, 0, 0);
  text_row->addWidget(unit_);
  text_row->addWidget(edit_);
  if (compact) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(text_row);
    row->addWidget(milliseconds_);
    row->addWidget(samples_);
  } else {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addLayout(text_row, 0, 0, 1, 2);
    grid->addWidget(milliseconds_, 1, 0);
    grid->addWidget(samples_, 1, 1);
  }
  setTabOrder(edit_, milliseconds_);
  setTabOrder(milliseconds_, samples_);

  connect(edit_, &widgets::ValueEdit::textCommitted, this, &DelayControls::OnTextCommitted);
  connect(milliseconds_, &QSpinBox::valueChanged, this, &DelayControls::OnSpinChanged);
  connect(samples_, &QSpinBox::valueChanged, this, &DelayControls::OnSpinChanged);
  const model::EditTarget unit = Target(context, model::ParamId::kDelayUnit, -1);
  connect(&context.edits, &model::EditPath::parameterChanged, this,
          [this, unit](int slot, int ch, model::ParamId id, int element) {
            if (Concerns(target_, slot, ch, id, element) || Concerns(unit, slot, ch, id, element)) {
              Refresh();
            }
          });
  connect(&context.edits, &model::EditPath::programReplaced, this, [this](int slot) {
    if (slot == target_.slot) Refresh();
  });
  Refresh();
}

void DelayControls::Refresh() {
  const int index = context_.edits.Index(target_);
  if (index < 0) return;
  const int ms = index / model::kDelaySamplesPerMs;
  const int samples = index % model::kDelaySamplesPerMs;
  const int unit = context_.edits.Index(Target(context_, model::ParamId::kDelayUnit, -1));
  edit_->setText(BoxText(context_, target_));
  unit_->setText(QStringLiteral("Delay [") + protocol::DelayUnitName(unit) + QStringLiteral(" ]"));
  const QSignalBlocker quiet_ms(milliseconds_);
  const QSignalBlocker quiet_samples(samples_);
  milliseconds_->setValue(ms);
  samples_->setValue(samples);
}

void DelayControls::OnTextCommitted(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) {
    ShowIncorrectValue(context_.messenger);
    return;
  }
  // What follows the first blank is not read.
  const QString number = trimmed.section(QLatin1Char(' '), 0, 0);
  if (context_.edits.SetText(target_, number, TextOptions(context_)).status ==
      model::EditStatus::kRefused) {
    ShowIncorrectValue(context_.messenger);
    return;
  }
  Refresh();
}

void DelayControls::OnSpinChanged() {
  context_.edits.SetIndex(target_,
                          milliseconds_->value() * model::kDelaySamplesPerMs + samples_->value());
}

}  // namespace tessaly::editor
