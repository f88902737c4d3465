#pragma once

#include <QWidget>

#include "editor/EditorContext.h"

namespace tessaly::editor {

// The channel's dynamics: on an input the noise gate and the RMS compressor, on an output the
// peak limiter, each parameter as knob, slider and text, each processor with its bypass box.
class DynamicsSection : public QWidget {
  Q_OBJECT

 public:
  DynamicsSection(EditorContext& context, int channel, QWidget* parent = nullptr);
};

}  // namespace tessaly::editor
