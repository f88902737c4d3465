#pragma once

#include "editor/CrossPointView.h"

namespace tessaly::editor {

// Family B: which sources feed each of the four inputs, and at what level.
class RoutingMatrix : public CrossPointView {
  Q_OBJECT

 public:
  RoutingMatrix(EditorContext& context, QWidget* parent = nullptr);
};

}  // namespace tessaly::editor
