#include "widgets/UndoKeys.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace tessaly::widgets {
namespace {

class UndoKeysFilter : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!key->matches(QKeySequence::Undo) && !key->matches(QKeySequence::Redo)) return false;
    const auto* text = watched->findChild<QLineEdit*>();
    if (text != nullptr && text->isModified()) return false;
    // Left unaccepted and kept from the box, the key goes on to the window's shortcut.
    event->ignore();
    return true;
  }
};

}  // namespace

void LetUndoKeysPass(QAbstractSpinBox& box) { box.installEventFilter(new UndoKeysFilter(&box)); }

}  // namespace tessaly::widgets
