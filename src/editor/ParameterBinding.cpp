#include "editor/ParameterBinding.h"

#include "editor/EditorSupport.h"
#include "model/EditPath.h"
#include "protocol/ValueLists.h"
#include "widgets/Knob.h"
#include "widgets/ParameterSlider.h"
#include "widgets/ValueEdit.h"

namespace tessaly::editor {
namespace {
// How soon a value held back by a running exchange is tried again.
constexpr int kRetryMs = 2;
}  // namespace

ParameterBinding::ParameterBinding(EditorContext& context, model::EditTarget target,
                                   QObject* parent)
    : QObject(parent), context_(context), target_(target) {
  flush_timer_.setSingleShot(true);
  connect(&flush_timer_, &QTimer::timeout, this, &ParameterBinding::Flush);
  connect(&context_.edits, &model::EditPath::parameterChanged, this,
          &ParameterBinding::OnParameterChanged);
  connect(&context_.edits, &model::EditPath::programReplaced, this, [this](int slot) {
    if (slot == target_.slot) Refresh();
  });
  connect(&context_.edits, &model::EditPath::pendingChanged, this, [this](int slot) {
    if (slot == target_.slot) ShowPendingMark();
  });
}

void ParameterBinding::ShowPendingMark() {
  if (edit_ == nullptr) return;
  const bool pending =
      context_.edits.Pending(target_.slot).Contains({target_.id, target_.channel, target_.element});
  if (edit_->property("pending").toBool() == pending) return;
  edit_->setProperty("pending", pending);
  // An orange frame: the value is the PC's, the device has not confirmed it.
  edit_->setStyleSheet(pending ? QStringLiteral("QLineEdit { border: 2px solid #e67e22; }")
                               : QString());
}

int ParameterBinding::Minimum() const { return target_.parameter().minimum; }

void ParameterBinding::ShowHelp(QWidget* control) const {
  if (!control->toolTip().isEmpty()) return;
  const model::ParameterDescriptor& p = target_.parameter();
  QString help = p.caption + QStringLiteral(": ") + p.RangeText();
  if (!p.note.isEmpty()) help += QLatin1Char(' ') + p.note;
  control->setToolTip(help);
}

void ParameterBinding::SetKnob(widgets::Knob* knob) {
  knob_ = knob;
  ShowHelp(knob);
  const model::ParameterDescriptor& p = target_.parameter();
  knob->setMaximum(p.maximum - p.minimum);
  model::ParseOptions shown;
  shown.device_type = DeviceTypeOf(context_);
  knob->setTextFunction([&p, shown](int i) { return p.Show(i + p.minimum, shown); });
  connect(knob, &widgets::Knob::gestureStarted, this, &ParameterBinding::OnGestureStarted);
  connect(knob, &widgets::Knob::valueChanging, this,
          [this](int i) { OnChanging(i, Source::kKnob); });
  connect(knob, &widgets::Knob::valueCommitted, this, &ParameterBinding::OnCommitted);
  connect(knob, &widgets::Knob::gestureEnded, this, &ParameterBinding::OnGestureEnded);
  Refresh();
}

void ParameterBinding::SetSlider(widgets::ParameterSlider* slider) {
  slider_ = slider;
  ShowHelp(slider);
  const model::ParameterDescriptor& p = target_.parameter();
  slider->setPositionCount(p.maximum - p.minimum + 1);
  connect(slider, &widgets::ParameterSlider::gestureStarted, this,
          &ParameterBinding::OnGestureStarted);
  connect(slider, &widgets::ParameterSlider::valueChanging, this,
          [this](int i) { OnChanging(i, Source::kSlider); });
  connect(slider, &widgets::ParameterSlider::valueCommitted, this, &ParameterBinding::OnCommitted);
  connect(slider, &widgets::ParameterSlider::gestureEnded, this, &ParameterBinding::OnGestureEnded);
  Refresh();
}

void ParameterBinding::SetEdit(widgets::ValueEdit* edit) {
  edit_ = edit;
  ShowHelp(edit);
  edit->setKeyRules(widgets::ValueEdit::KeyRules::kNumber);
  TakeDecimals(context_, edit);
  connect(edit, &widgets::ValueEdit::textCommitted, this, &ParameterBinding::OnTextCommitted);
  connect(edit, &widgets::ValueEdit::keyRefused, this,
          [this] { ShowIncorrectValue(context_.messenger); });
  Refresh();
}

void ParameterBinding::SetDefaultIndex(int index) {
  if (knob_) knob_->setDefaultIndex(index - Minimum());
  if (slider_) slider_->setDefaultIndex(index - Minimum());
}

void ParameterBinding::Refresh() {
  const int index = context_.edits.Index(target_);
  if (index < 0) return;
  index_ = index;
  // While moves wait for the line the controls are ahead of the record.
  if (!pending_) ShowIndex(index, Source::kNone);
}

QString ParameterBinding::NumberText(int index) const {
  return target_.parameter().BoxText(index, TextOptions(context_));
}

void ParameterBinding::ShowIndex(int index, Source except) {
  const int control = index - Minimum();
  if (knob_ && except != Source::kKnob) knob_->setIndex(control);
  if (slider_ && except != Source::kSlider) slider_->setIndex(control);
  if (edit_ && except != Source::kEdit) edit_->setText(NumberText(index));
}

void ParameterBinding::OnGestureStarted() {
  if (gestures_++ > 0 || undo_group_) return;
  const model::ParameterDescriptor& p = target_.parameter();
  const QString channel =
      target_.channel < 0
          ? QString()
          : QLatin1Char(' ') + protocol::ChannelName(DeviceTypeOf(context_), target_.channel);
  context_.edits.BeginGesture(target_.slot, p.caption + channel);
  undo_group_ = true;
  last_sent_.reset();
}

void ParameterBinding::OnChanging(int control_index, Source source) {
  ShowIndex(control_index + Minimum(), source);
  // Only a knob's drag sends while it moves; a slider, keys and the wheel send at the release.
  if (source != Source::kKnob || widgets::Knob::Dragged() != knob_) return;
  pending_ = control_index + Minimum();
  if (!flush_timer_.isActive()) flush_timer_.start(0);
}

void ParameterBinding::OnCommitted(int control_index) {
  pending_ = control_index + Minimum();
  flush_timer_.stop();
  Flush();
}

void ParameterBinding::OnGestureEnded() {
  gestures_ = std::max(0, gestures_ - 1);
  // A value still held back closes the undo group once it has gone out.
  if (gestures_ > 0 || pending_ || sending_ || !undo_group_) return;
  undo_group_ = false;
  context_.edits.EndGesture(target_.slot);
}

void ParameterBinding::Flush() {
  if (!pending_) return;
  if (sending_ || context_.edits.LineBusy()) {
    flush_timer_.start(kRetryMs);
    return;
  }
  const int index = *pending_;
  pending_.reset();
  if (index != last_sent_) Send(index);
  // A move that came in during the exchange is sent next, through the timer.
  if (pending_) {
    flush_timer_.start(0);
    return;
  }
  if (gestures_ == 0 && undo_group_) {
    undo_group_ = false;
    context_.edits.EndGesture(target_.slot);
  }
}

void ParameterBinding::Send(int index) {
  sending_ = true;
  last_sent_ = index;
  context_.edits.SetIndex(target_, index);
  sending_ = false;
}

void ParameterBinding::OnTextCommitted(const QString& text) {
  const model::EditOutcome outcome = context_.edits.SetText(target_, text, TextOptions(context_));
  if (outcome.status == model::EditStatus::kRefused) {
    ShowIncorrectValue(context_.messenger);
    return;
  }
  // A clamped or snapped value is rewritten even when the record already held it.
  Refresh();
}

void ParameterBinding::OnParameterChanged(int slot, int channel, model::ParamId id, int element) {
  if (Concerns(target_, slot, channel, id, element)) Refresh();
}

}  // namespace tessaly::editor
