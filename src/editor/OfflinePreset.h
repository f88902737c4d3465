#pragma once

#include <QString>

namespace tessaly::connect {
struct ConnectRuntime;
}

namespace tessaly::editor {

class EditorManager;
class EditorWindow;

inline constexpr const char* kOpenPresetTitle = "Open preset";

// Opens a preset file in an editor of the device type its extension names, with no device: on a
// free slot, as demonstration mode works, so nothing is ever sent. Every edit changes the record
// only, and the editor's Save writes the file back. The caption says the editor is off-line.
// Returns nullptr (the user has been told why) when the file is refused or no slot is free.
EditorWindow* OpenPresetOffline(EditorManager& editors, connect::ConnectRuntime& runtime,
                                const QString& path);

}  // namespace tessaly::editor
