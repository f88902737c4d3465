#pragma once

#include "editor/EditorContext.h"

namespace tessaly::editor {

class EditorWindow;
class MeterPoints;

// The page lists of the two families, in tab order. Page keys: "gains", "delays" and
// "channel-<channel name in lower case>".
void BuildFamilyAPages(EditorWindow& window, EditorContext& context);
void BuildFamilyBPages(EditorWindow& window, EditorContext& context, MeterPoints& meter_points);

}  // namespace tessaly::editor
