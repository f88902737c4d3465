#pragma once

#include "editor/EditorWindow.h"

namespace tessaly::editor {

// The editor of the RK-540, RK-360 and RL-4800: two inputs, three outputs.
class FamilyAEditor : public EditorWindow {
  Q_OBJECT

 public:
  FamilyAEditor(EditorContext context, comm::Comm& comm, QWidget* parent = nullptr);
};

}  // namespace tessaly::editor
