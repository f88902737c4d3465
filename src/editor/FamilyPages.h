#pragma once

#include "editor/EditorContext.h"

namespace tessaly::editor {

class EditorWindow;

// The page lists of the two families, in tab order. Page keys: "gains", "delays" and
// "channel-<channel name in lower case>".
void BuildFamilyAPages(EditorWindow& window, EditorContext& context);
void BuildFamilyBPages(EditorWindow& window, EditorContext& context);

}  // namespace tessaly::editor
