#pragma once

#include <QWidget>

#include "editor/EditorContext.h"

namespace tessaly::editor {

class BlockDiagram;

// The device's signal flow over every channel's gain and mute side by side, inputs then outputs,
// like a mixing desk.
class GainsPage : public QWidget {
  Q_OBJECT

 public:
  GainsPage(EditorContext& context, QWidget* parent = nullptr);

  BlockDiagram* diagram() const { return diagram_; }

 private:
  BlockDiagram* diagram_ = nullptr;
};

}  // namespace tessaly::editor
