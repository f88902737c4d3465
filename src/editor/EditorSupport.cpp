#include "editor/EditorSupport.h"

#include "comm/Messenger.h"
#include "graph/GraphScale.h"
#include "model/ParameterDescriptor.h"
#include "protocol/Offsets.h"

namespace tessaly::editor {

void ShowIncorrectValue(comm::Messenger& messenger) {
  messenger.Show({comm::MessageIcon::kExclamation, QString::fromLatin1(kWarningTitle),
                  QString::fromLatin1(kIncorrectValue), comm::MessageButtons::kOk});
}

bool LinkBusy(protocol::ProgramStore& store) { return store.transmitter().Busy(); }

int DeviceTypeOf(const EditorContext& context) {
  return context.store.DeviceType(context.slot).value_or(0);
}

model::EditTarget Target(const EditorContext& context, const char* id, int channel, int element) {
  return {context.slot, model::FindParameter(QString::fromLatin1(id)), channel, element};
}

bool Concerns(const model::EditTarget& target, int slot, int channel, const QString& id,
              int element) {
  if (slot != target.slot || id != target.parameter->id || element != target.element) return false;
  return target.parameter->scope == model::Scope::kDevice || channel == target.channel;
}

QColor ChannelColor(const EditorContext& context, int channel) {
  const bool family_b = protocol::FamilyOf(DeviceTypeOf(context)) == protocol::Family::kB;
  const graph::Rgb rgb = graph::ChannelColour(family_b, channel);
  return {rgb.r, rgb.g, rgb.b};
}

QString ObjectStem(const QString& id) {
  QString stem;
  bool upper = false;
  for (const QChar c : id) {
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
