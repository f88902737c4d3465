#include "editor/SettingBinder.h"

#include "editor/EditorSupport.h"

namespace tessaly::editor {

SettingBinder::SettingBinder(EditorContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  connect(&context_.edits, &model::EditPath::parameterChanged, this,
          [this](int slot, int channel, model::ParamId id, int element) {
            if (slot == context_.slot) Refresh(channel, id, element);
          });
  connect(&context_.edits, &model::EditPath::programReplaced, this, [this](int slot) {
    if (slot == context_.slot) RefreshAll();
  });
}

model::EditTarget SettingBinder::Target(model::ParamId id, int channel, int element) const {
  return {context_.slot, id, channel, element};
}

int SettingBinder::Index(model::ParamId id, int channel, int element) const {
  return context_.edits.Index(Target(id, channel, element));
}

QString SettingBinder::Shown(model::ParamId id, int channel, int element) const {
  return context_.edits.Shown(Target(id, channel, element));
}

void SettingBinder::Bind(model::ParamId id, int channel, int element, ShowFunction show) {
  show(Index(id, channel, element));
  bindings_.push_back({id, channel, element, std::move(show)});
}

void SettingBinder::Set(model::ParamId id, int channel, int element, int index) {
  context_.edits.SetIndex(Target(id, channel, element), index);
  // A refused or unchanged edit is not announced, yet the control may show the user's click.
  Refresh(channel, id, element);
}

void SettingBinder::SetText(model::ParamId id, int channel, int element, const QString& text) {
  const model::EditOutcome out =
      context_.edits.SetText(Target(id, channel, element), text, TextOptions(context_));
  if (out.status == model::EditStatus::kRefused && out.index < 0) {
    WarnIncorrectValue();
    return;
  }
  Refresh(channel, id, element);
}

void SettingBinder::BeginGesture(model::ParamId id) {
  context_.edits.BeginGesture(context_.slot, model::Param(id).caption);
}

QString SettingBinder::BoxText(model::ParamId id, int channel, int element) const {
  return editor::BoxText(context_, Target(id, channel, element));
}

QString SettingBinder::IndexText(model::ParamId id, int index) const {
  return model::Param(id).BoxText(index, TextOptions(context_));
}

void SettingBinder::TakeDecimals(widgets::ValueEdit* edit) const {
  editor::TakeDecimals(context_, edit);
}

void SettingBinder::EndGesture() { context_.edits.EndGesture(context_.slot); }

void SettingBinder::WarnIncorrectValue() { ShowIncorrectValue(context_.messenger); }

void SettingBinder::RefreshAll() {
  for (const Binding& b : bindings_) b.show(Index(b.id, b.channel, b.element));
}

void SettingBinder::Refresh(int channel, model::ParamId id, int element) {
  const bool device_wide = channel < 0;
  for (const Binding& b : bindings_) {
    if (b.id != id) continue;
    if (!device_wide && b.channel >= 0 && b.channel != channel) continue;
    if (element >= 0 && b.element >= 0 && b.element != element) continue;
    b.show(Index(b.id, b.channel, b.element));
  }
}

}  // namespace tessaly::editor
