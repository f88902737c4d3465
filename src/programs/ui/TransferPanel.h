#pragma once

#include <QWidget>

#include "programs/ProgramMemory.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tessaly::programs {

// The progress of a long transfer: a line saying what is under way, a bar, and Cancel, which
// stops the transfer after the exchange under way.
class TransferPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TransferPanel(QWidget* parent = nullptr);

  // A progress callback for the core that updates the panel, lets the window breathe and says
  // false once Cancel was pressed.
  TransferProgress Tracker();
  // Shows the panel for a new transfer; Cancel is armed.
  void Start();
  void Finish();
  bool cancelled() const { return cancelled_; }
  QProgressBar* bar() const { return bar_; }
  QLabel* label() const { return label_; }
  QPushButton* cancel_button() const { return cancel_; }

 private:
  QLabel* label_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  bool cancelled_ = false;
};

}  // namespace tessaly::programs
