#include "editor/EditorSupport.h"

#include "device/Messenger.h"
#include "graph/GraphScale.h"
#include "model/ParameterDescriptor.h"
#include "protocol/Offsets.h"
#include "widgets/ValueEdit.h"

namespace tessaly::editor {

void ShowIncorrectValue(device::Messenger& messenger) {
  messenger.Show({device::MessageIcon::kExclamation, QString::fromLatin1(kWarningTitle),
                  QString::fromLatin1(kIncorrectValue), device::MessageButtons::kOk});
}

int DeviceTypeOf(const EditorContext& context) {
  return context.edits.DeviceType(context.slot).value_or(0);
}

model::EditTarget Target(const EditorContext& context, model::ParamId id, int channel,
                         int element) {
  return {context.slot, id, channel, element};
}

bool Concerns(const model::EditTarget& target, int slot, int channel, model::ParamId id,
              int element) {
  if (slot != target.slot || id != target.id || element != target.element) return false;
  return target.parameter().scope == model::Scope::kDevice || channel == target.channel;
}

model::ParseOptions TextOptions(const EditorContext& context) {
  model::ParseOptions options;
  options.decimal_comma = context.decimal_comma;
  return options;
}

void TakeDecimals(const EditorContext& context, widgets::ValueEdit* edit) {
  edit->setDecimalComma(context.decimal_comma);
}

QString BoxText(const EditorContext& context, const model::EditTarget& target) {
  return context.edits.BoxText(target, context.decimal_comma);
}

QColor ChannelColor(const EditorContext& context, int channel) {
  const bool family_b = protocol::FamilyOf(DeviceTypeOf(context)) == protocol::Family::kB;
  const graph::Rgb rgb = graph::ChannelColour(family_b, channel);
  return {rgb.r, rgb.g, rgb.b};
}

QString ObjectStem(const QString& name) {
  QString stem;
  bool upper = false;
  for (const QChar c : name) {
    if (c == u'.') {
      upper = true;
      continue;
    }
    stem += upper ? c.toUpper() : c;
    upper = false;
  }
  return stem;
}

}  // namespace tessaly::editor
