#pragma once

#include <QWidget>

#include "editor/EditorContext.h"
#include "model/EditTypes.h"

class QLabel;
class QSpinBox;

namespace tessaly::widgets {
class ValueEdit;
}

namespace tessaly::editor {

// One channel's delay: the text in the slot's display unit (milliseconds or metres), whole
// milliseconds and extra samples. Every control sends the whole delay; all three repaint from
// the edit path, and the text follows a change of the display unit.
class DelayControls : public QWidget {
  Q_OBJECT

 public:
  // `compact` lays the controls out in one row (the delays page), otherwise in a column.
  DelayControls(EditorContext& context, int channel, bool compact, QWidget* parent = nullptr);

  void Refresh();

 private:
  void OnTextCommitted(const QString& text);
  void OnSpinChanged();

  EditorContext& context_;
  model::EditTarget target_;
  widgets::ValueEdit* edit_ = nullptr;
  QLabel* unit_ = nullptr;
  QSpinBox* milliseconds_ = nullptr;
  QSpinBox* samples_ = nullptr;
};

}  // namespace tessaly::editor
