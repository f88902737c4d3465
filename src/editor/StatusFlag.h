#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace tessaly::editor {

// A state the device reports and the editor only shows (front-panel lock, password): a small
// drawn icon and a word, red while the state is on and grey while it is off, never a button.
class StatusFlag : public QWidget {
  Q_OBJECT

 public:
  enum class Icon { kPadlock, kKey };

  // `name` is the object name of the word's label.
  StatusFlag(Icon icon, const QString& name, QWidget* parent = nullptr);

  void Show(const QString& text, bool on, const QString& tooltip);
  bool on() const { return on_; }

 private:
  Icon icon_;
  QLabel* picture_ = nullptr;
  QLabel* word_ = nullptr;
  bool on_ = false;
};

}  // namespace tessaly::editor
