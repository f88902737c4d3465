#pragma once

#include <QColor>
#include <QString>

#include "editor/EditorContext.h"
#include "model/EditTypes.h"

namespace tessaly::editor {

inline constexpr const char* kIncorrectValue = "  Incorrect value";
inline constexpr const char* kWarningTitle = "Warning";

// The box every text control raises for what it cannot read.
void ShowIncorrectValue(comm::Messenger& messenger);

// True while an exchange with a device is running (the reply is awaited in a nested loop, where
// timers still fire).
bool LinkBusy(protocol::ProgramStore& store);

int DeviceTypeOf(const EditorContext& context);

// A parameter of the page's slot by its id; the id must exist.
model::EditTarget Target(const EditorContext& context, const char* id, int channel,
                         int element = -1);

// Whether a change notification of the edit path is about `target` (a device setting matches
// whatever channel it names).
bool Concerns(const model::EditTarget& target, int slot, int channel, const QString& id,
              int element);

// The channel's colour in the response graph, so strips and curves match.
QColor ChannelColor(const EditorContext& context, int channel);

// "gate.threshold" -> "gateThreshold": the stem of a control's object name.
QString ObjectStem(const QString& id);

}  // namespace tessaly::editor
