#pragma once

#include "editor/CrossPointView.h"

namespace tessaly::editor {

// Family B: what each output mixes from the four inputs, with a level and an on switch per send.
class OutputMixer : public CrossPointView {
  Q_OBJECT

 public:
  OutputMixer(EditorContext& context, QWidget* parent = nullptr);
};

}  // namespace tessaly::editor
