#pragma once

#include <QWidget>

#include "editor/CrossPointGrid.h"
#include "editor/EditorContext.h"

class QLabel;

namespace tessaly::widgets {
class ValueEdit;
}

namespace tessaly::editor {

class SettingBinder;

// A cross-point grid with a typed level for its current cell.
class CrossPointView : public QWidget {
  Q_OBJECT

 public:
  CrossPointGrid* grid() const { return grid_; }

 protected:
  CrossPointView(EditorContext& context, const QString& title, CrossPointLayout layout,
                 QWidget* parent);

 private:
  void ShowCurrent();

  EditorContext& context_;
  SettingBinder* binder_;
  CrossPointGrid* grid_;
  QLabel* cell_label_;
  widgets::ValueEdit* level_edit_;
};

}  // namespace tessaly::editor
