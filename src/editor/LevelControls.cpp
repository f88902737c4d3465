#include "editor/LevelControls.h"

#include <QGridLayout>

#include "editor/SettingBinder.h"
#include "model/ParameterDescriptor.h"
#include "widgets/Knob.h"
#include "widgets/ParameterSlider.h"
#include "widgets/ValueEdit.h"

namespace tessaly::editor {

LevelControls::LevelControls(SettingBinder& binder, model::ParamId id, const QString& name,
                             QWidget* parent)
    : QWidget(parent),
      binder_(binder),
      id_(id),
      knob_(new widgets::Knob(this)),
      slider_(new widgets::ParameterSlider(this)),
      edit_(new widgets::ValueEdit(this)) {
  const model::ParameterDescriptor* parameter = &model::Param(id);
  knob_->setObjectName(name + QStringLiteral("Knob"));
  slider_->setObjectName(name + QStringLiteral("Slider"));
  edit_->setObjectName(name + QStringLiteral("Edit"));
  // The top of the scale is the resting level (0 dB); the arc still grows from the quiet end.
  knob_->setMaximum(parameter->maximum);
  knob_->setDefaultIndex(parameter->maximum);
  knob_->setArcOrigin(parameter->minimum);
  knob_->setTextFunction([parameter](int index) { return parameter->Show(index); });
  slider_->setPositionCount(parameter->maximum + 1);
  slider_->setDefaultIndex(parameter->maximum);
  binder_.TakeDecimals(edit_);
  edit_->setMaximumWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("-00.0 ")) * 2);
  edit_->setAccessibleName(parameter->caption);
  knob_->setAccessibleName(parameter->caption);
  slider_->setAccessibleName(parameter->caption);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(knob_, 0, 0, Qt::AlignHCenter);
  grid->addWidget(slider_, 0, 1, 2, 1, Qt::AlignHCenter);
  grid->addWidget(edit_, 1, 0, Qt::AlignHCenter);
  setTabOrder(knob_, slider_);
  setTabOrder(slider_, edit_);

  connect(knob_, &widgets::Knob::gestureStarted, this, [this] { binder_.BeginGesture(id_); });
  connect(knob_, &widgets::Knob::valueChanging, this, &LevelControls::Commit);
  connect(knob_, &widgets::Knob::valueCommitted, this, &LevelControls::Commit);
  connect(knob_, &widgets::Knob::gestureEnded, this, [this] { binder_.EndGesture(); });
  connect(slider_, &widgets::ParameterSlider::gestureStarted, this,
          [this] { binder_.BeginGesture(id_); });
  connect(slider_, &widgets::ParameterSlider::valueChanging, this, &LevelControls::ShowPending);
  connect(slider_, &widgets::ParameterSlider::valueCommitted, this, &LevelControls::Commit);
  connect(slider_, &widgets::ParameterSlider::gestureEnded, this, [this] { binder_.EndGesture(); });
  connect(edit_, &widgets::ValueEdit::textCommitted, this,
          [this](const QString& text) { binder_.SetText(id_, -1, -1, text); });
  connect(edit_, &widgets::ValueEdit::keyRefused, this, [this] { binder_.WarnIncorrectValue(); });
  binder_.Bind(id_, -1, -1, [this](int index) { ShowIndex(index); });
}

void LevelControls::ShowIndex(int index) {
  if (index < 0) return;
  knob_->setIndex(index);
  slider_->setIndex(index);
  ShowPending(index);
}

// The text box follows a slider on its way; the device hears of it at the release.
void LevelControls::ShowPending(int index) {
  edit_->setText(binder_.IndexText(id_, index));
  knob_->setIndex(index);
}

void LevelControls::Commit(int index) {
  if (binder_.Index(id_) == index) return;
  binder_.Set(id_, -1, -1, index);
}

}  // namespace tessaly::editor
