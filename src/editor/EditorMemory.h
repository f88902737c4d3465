#pragma once

namespace tessaly::settings {
class Settings;
}

namespace tessaly::editor {

class EditorWindow;

// Opens `editor` on the page last shown in an editor of its device type (Gains the first time)
// and keeps that page and the splitter positions for the next one. Without a store it opens on
// Gains and keeps nothing.
void RememberEditorLayout(EditorWindow& editor, settings::Settings* settings);

}  // namespace tessaly::editor
