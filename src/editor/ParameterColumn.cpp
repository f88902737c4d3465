#include "editor/ParameterColumn.h"

#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/EditorSupport.h"
#include "editor/ParameterBinding.h"
#include "model/EditPath.h"
#include "protocol/ValueScale.h"
#include "widgets/Knob.h"
#include "widgets/ParameterSlider.h"
#include "widgets/ValueEdit.h"

namespace tessaly::editor {
namespace {

// Short enough that a strip keeps its meter and mute in sight on a laptop screen.
constexpr int kShortestFader = 64;

// A reset goes to 0 dB (or 0 of whatever the unit) where the scale has it, else to the value the
// page opened with.
int DefaultIndex(const EditorContext& context, const model::EditTarget& target) {
  const model::ParameterDescriptor& p = target.parameter();
  if (p.kind == model::ValueKind::kScale) {
    const protocol::ValueScale& scale = protocol::ScaleOf(p.scale);
    const int zero = scale.ByteOf(0.0);
    if (scale.ValueOf(zero) == 0.0) return zero;
  }
  return std::max(context.edits.Index(target), p.minimum);
}

}  // namespace

ParameterColumn::ParameterColumn(EditorContext& context, model::ParamId id, int channel,
                                 const Look& look, QWidget* parent)
    : QWidget(parent) {
  const model::EditTarget target = Target(context, id, channel);
  const QString stem = ObjectStem(target.parameter().name);
  binding_ = new ParameterBinding(context, target, this);

  auto* caption = new QLabel(look.caption, this);
  caption->setAlignment(Qt::AlignHCenter);
  knob_ = new widgets::Knob(this);
  knob_->setObjectName(stem + QStringLiteral("Knob"));
  knob_->setAccessibleName(look.caption);
  binding_->SetKnob(knob_);
  if (look.slider) {
    slider_ = new widgets::ParameterSlider(this);
    slider_->setObjectName(stem + QStringLiteral("Slider"));
    slider_->setAccessibleName(look.caption);
    if (look.slider_height > 0) {
      slider_->setFixedHeight(look.slider_height);
    } else {
      slider_->setMinimumHeight(kShortestFader);
    }
    binding_->SetSlider(slider_);
  }
  edit_ = new widgets::ValueEdit(this);
  edit_->setObjectName(stem + QStringLiteral("Edit"));
  edit_->setAccessibleName(look.caption);
  edit_->setAlignment(Qt::AlignHCenter);
  edit_->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("-000.0")) * 3 / 2);
  binding_->SetEdit(edit_);
  binding_->SetDefaultIndex(look.default_index >= 0 ? look.default_index
                                                    : DefaultIndex(context, target));

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(caption);
  column->addWidget(knob_, 0, Qt::AlignHCenter);
  if (slider_ != nullptr) column->addWidget(slider_, 1, Qt::AlignHCenter);
  column->addWidget(edit_, 0, Qt::AlignHCenter);
  // A column without a growing fader keeps its controls together at the top.
  if (slider_ == nullptr || look.slider_height > 0) column->addStretch(1);
}

}  // namespace tessaly::editor
