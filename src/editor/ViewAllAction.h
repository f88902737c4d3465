#pragma once

namespace tessaly::editor {

class EditorWindow;

// The editor's "View All" button: opens the device's response graph window beside the editor (a
// second click brings the open one forward) and keeps it in step with every EQ or crossover edit.
void AddViewAllAction(EditorWindow& window);

}  // namespace tessaly::editor
