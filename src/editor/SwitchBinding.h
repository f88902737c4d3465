#pragma once

#include <QObject>
#include <QPointer>

#include "editor/EditorContext.h"
#include "model/EditTypes.h"

class QAbstractButton;

namespace tessaly::editor {

// Ties a checkable button (mute, "Inverted", "Bypass") to a two-state parameter: a click sends
// the new state, and the button shows only what the edit path reports.
class SwitchBinding : public QObject {
  Q_OBJECT

 public:
  SwitchBinding(EditorContext& context, model::EditTarget target, QAbstractButton* button);

  void Refresh();

 private:
  void OnClicked(bool checked);

  EditorContext& context_;
  model::EditTarget target_;
  QPointer<QAbstractButton> button_;
};

}  // namespace tessaly::editor
