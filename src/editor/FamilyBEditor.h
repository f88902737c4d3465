#pragma once

#include "editor/EditorWindow.h"

namespace tessaly::editor {

// The editor of the 540S: four inputs with their source mixer, three outputs.
class FamilyBEditor : public EditorWindow {
  Q_OBJECT

 public:
  FamilyBEditor(EditorContext context, comm::Comm& comm, QWidget* parent = nullptr);
};

}  // namespace tessaly::editor
