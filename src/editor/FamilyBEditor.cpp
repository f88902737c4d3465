#include "editor/FamilyBEditor.h"

#include "editor/FamilyPages.h"
#include "editor/MeterPoints.h"

namespace tessaly::editor {

FamilyBEditor::FamilyBEditor(EditorContext context, comm::Comm& comm, QWidget* parent)
    : EditorWindow(context, comm, parent), meter_points_(new MeterPoints(this)) {
  setObjectName(QStringLiteral("familyBEditor"));
  meter_points_->setObjectName(QStringLiteral("meterPoints"));
  BuildFamilyBPages(*this, this->context(), *meter_points_);
}

}  // namespace tessaly::editor
