#pragma once

#include <QDialog>

#include "programs/ui/ProgramTools.h"

class QListWidget;
class QProgressBar;

namespace tessaly::programs {

// "Recall Program": brings a stored program into the edit buffer, the current one kept as a
// backup first.
class RecallProgramDialog : public QDialog {
  Q_OBJECT

 public:
  RecallProgramDialog(ProgramTools tools, QWidget* parent = nullptr);

  // Button 1. The program recalled, 0-based; -1 until one was.
  void RecallSelected();
  int recalled_program() const { return recalled_; }
  QListWidget* list() const { return list_; }

 private:
  ProgramTools tools_;
  QListWidget* list_;
  QProgressBar* progress_;
  int recalled_ = -1;
};

}  // namespace tessaly::programs
