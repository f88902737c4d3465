#include "editor/FamilyBEditor.h"

#include "editor/FamilyPages.h"

namespace tessaly::editor {

FamilyBEditor::FamilyBEditor(EditorContext context, comm::Comm& comm, QWidget* parent)
    : EditorWindow(context, comm, parent) {
  setObjectName(QStringLiteral("familyBEditor"));
  BuildFamilyBPages(*this, this->context());
}

}  // namespace tessaly::editor
