#include "editor/SettingBinder.h"

namespace tessaly::editor {

namespace {
constexpr const char* kIncorrectValue = "  Incorrect value";
constexpr const char* kWarningTitle = "Warning";
}  // namespace

SettingBinder::SettingBinder(EditorContext& context, QObject* parent)
    : QObject(parent), context_(context) {
  connect(&context_.edits, &model::EditPath::ParameterChanged, this,
          [this](int slot, int channel, const QString& id, int element) {
            if (slot == context_.slot) Refresh(channel, id, element);
          });
  connect(&context_.edits, &model::EditPath::ProgramReplaced, this, [this](int slot) {
    if (slot == context_.slot) RefreshAll();
  });
}

model::EditTarget SettingBinder::Target(const QString& id, int channel, int element) const {
  return {context_.slot, model::FindParameter(id), channel, element};
}

int SettingBinder::Index(const QString& id, int channel, int element) const {
  return context_.edits.Index(Target(id, channel, element));
}

QString SettingBinder::Shown(const QString& id, int channel, int element) const {
  return context_.edits.Shown(Target(id, channel, element));
}

void SettingBinder::Bind(const QString& id, int channel, int element, ShowFunction show) {
  show(Index(id, channel, element));
  bindings_.push_back({id, channel, element, std::move(show)});
}

void SettingBinder::Set(const QString& id, int channel, int element, int index) {
  context_.edits.SetIndex(Target(id, channel, element), index);
  // A refused or unchanged edit is not announced, yet the control may show the user's click.
  Refresh(channel, id, element);
}

void SettingBinder::SetText(const QString& id, int channel, int element, const QString& text) {
  model::ParseOptions options;
  options.decimal_comma = context_.decimal_comma;
  const model::EditOutcome out =
      context_.edits.SetText(Target(id, channel, element), text, options);
  if (out.status == model::EditStatus::kRefused && out.index < 0) {
    WarnIncorrectValue();
    return;
  }
  Refresh(channel, id, element);
}

void SettingBinder::BeginGesture(const QString& id) {
  const model::ParameterDescriptor* parameter = model::FindParameter(id);
  context_.edits.BeginGesture(context_.slot, parameter ? parameter->caption : id);
}

void SettingBinder::EndGesture() { context_.edits.EndGesture(context_.slot); }

void SettingBinder::WarnIncorrectValue() {
  context_.messenger.Show({comm::MessageIcon::kExclamation, QString::fromLatin1(kWarningTitle),
                           QString::fromLatin1(kIncorrectValue), comm::MessageButtons::kOk});
}

void SettingBinder::RefreshAll() {
  for (const Binding& b : bindings_) b.show(Index(b.id, b.channel, b.element));
}

void SettingBinder::Refresh(int channel, const QString& id, int element) {
  const bool device_wide = channel < 0;
  for (const Binding& b : bindings_) {
    if (b.id != id) continue;
    if (!device_wide && b.channel >= 0 && b.channel != channel) continue;
    if (element >= 0 && b.element >= 0 && b.element != element) continue;
    b.show(Index(b.id, b.channel, b.element));
  }
}

}  // namespace tessaly::editor
