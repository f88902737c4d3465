#pragma once

#include <QColor>
#include <QString>

#include "editor/EditorContext.h"
#include "model/EditTypes.h"
#include "model/ParameterDescriptor.h"

namespace tessaly::widgets {
class ValueEdit;
}

namespace tessaly::editor {

inline constexpr const char* kIncorrectValue = "  Incorrect value";
inline constexpr const char* kWarningTitle = "Warning";

// The box every text control raises for what it cannot read.
void ShowIncorrectValue(device::Messenger& messenger);

int DeviceTypeOf(const EditorContext& context);

// A parameter of the page's slot.
model::EditTarget Target(const EditorContext& context, model::ParamId id, int channel,
                         int element = -1);

// Whether a change notification of the edit path is about `target` (a device setting matches
// whatever channel it names).
bool Concerns(const model::EditTarget& target, int slot, int channel, model::ParamId id,
              int element);

// How every text box of an editor reads and writes decimals: with the decimal symbol of the
// user's locale, which the context carries.
model::ParseOptions TextOptions(const EditorContext& context);
void TakeDecimals(const EditorContext& context, widgets::ValueEdit* edit);
// The target's value as its text box shows it.
QString BoxText(const EditorContext& context, const model::EditTarget& target);

// The channel's colour in the response graph, so strips and curves match.
QColor ChannelColor(const EditorContext& context, int channel);

// "gate.threshold" -> "gateThreshold": the stem of a control's object name.
QString ObjectStem(const QString& name);

}  // namespace tessaly::editor
