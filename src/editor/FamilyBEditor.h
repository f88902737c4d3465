#pragma once

#include "editor/EditorWindow.h"

namespace tessaly::editor {

class MeterPoints;

// The editor of the 540S: four inputs with their source mixer, three outputs.
class FamilyBEditor : public EditorWindow {
  Q_OBJECT

 public:
  FamilyBEditor(EditorContext context, comm::Comm& comm, QWidget* parent = nullptr);

  // Where each channel's meter listens; the channel pages' labels choose it.
  MeterPoints& meter_points() const { return *meter_points_; }

 private:
  MeterPoints* meter_points_;
};

}  // namespace tessaly::editor
