#pragma once

#include <QWidget>

#include "editor/EditorContext.h"

namespace tessaly::editor {

// Every channel's delay in one table, and the unit the delays are shown in ("Delay Units").
class DelaysPage : public QWidget {
  Q_OBJECT

 public:
  DelaysPage(EditorContext& context, QWidget* parent = nullptr);
};

}  // namespace tessaly::editor
