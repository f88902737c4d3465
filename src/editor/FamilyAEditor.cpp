#include "editor/FamilyAEditor.h"

#include "editor/FamilyPages.h"

namespace tessaly::editor {

FamilyAEditor::FamilyAEditor(EditorContext context, comm::Comm& comm, QWidget* parent)
    : EditorWindow(context, comm, parent) {
  setObjectName(QStringLiteral("familyAEditor"));
  BuildFamilyAPages(*this, this->context());
}

}  // namespace tessaly::editor
