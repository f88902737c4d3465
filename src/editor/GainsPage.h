#pragma once

#include <QWidget>

#include "editor/EditorContext.h"

namespace tessaly::editor {

// Every channel's gain and mute side by side, inputs then outputs, like a mixing desk.
class GainsPage : public QWidget {
  Q_OBJECT

 public:
  GainsPage(EditorContext& context, QWidget* parent = nullptr);
};

}  // namespace tessaly::editor
