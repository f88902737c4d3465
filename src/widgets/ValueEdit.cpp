#include "widgets/ValueEdit.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <array>

namespace tessaly::widgets {
namespace {
bool IsEditingShortcut(QKeyEvent* event) {
  static constexpr std::array kPassing = {QKeySequence::Copy, QKeySequence::Paste,
                                          QKeySequence::Cut,  QKeySequence::Undo,
                                          QKeySequence::Redo, QKeySequence::SelectAll};
  for (const QKeySequence::StandardKey key : kPassing) {
    if (event->matches(key)) return true;
  }
  return false;
}

// Keys that move or delete rather than type a character.
bool IsEditingKey(int key) {
  switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
      return true;
    default:
      return false;
  }
}
}  // namespace

ValueEdit::ValueEdit(QWidget* parent) : QLineEdit(parent) {}

bool ValueEdit::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && !isModified()) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
      // Left unaccepted, the key goes on to the window's shortcut.
      event->ignore();
      return false;
    }
  }
  return QLineEdit::event(event);
}

void ValueEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // What is entered is no longer the box's own to undo.
    setModified(false);
    emit textCommitted(text());
    return;
  }
  const QString typed = event->text();
  if (IsEditingShortcut(event) || IsEditingKey(event->key()) || typed.isEmpty() ||
      (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  const QChar key = typed.front();
  const bool digit = key.isDigit() && key.unicode() < 128;
  const bool sign = key == u'-' || key == u'+';
  if (rules_ == KeyRules::kDigits && !digit) {
    emit keyRefused();
  } else if (key == u',' || key == u'.') {
    insert(decimal_comma_ ? QStringLiteral(",") : QStringLiteral("."));
  } else if (digit || (sign && rules_ == KeyRules::kNumber)) {
    QLineEdit::keyPressEvent(event);
  } else if (rules_ == KeyRules::kDelay) {
    insert(QStringLiteral(" "));
  } else {
    insert(QStringLiteral("?"));
    emit keyRefused();
  }
}

}  // namespace tessaly::widgets
