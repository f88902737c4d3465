#pragma once

#include <QDialog>

#include "editor/EditorContext.h"
#include "model/EqImport.h"

class QTableWidget;
class QListWidget;
class QLabel;

namespace tessaly::editor {

// The preview of an EQ import, before anything is sent: every band of the channel as the file
// asks for it and as the device will hold it, what could not be taken, and the largest
// difference between the two curves. "Apply" sends the bands through the edit path as one undo
// step.
class EqImportDialog : public QDialog {
  Q_OBJECT

 public:
  EqImportDialog(EditorContext& context, model::ImportPlan plan, const QString& file_name,
                 QWidget* parent = nullptr);

  const model::ImportPlan& plan() const { return plan_; }
  // Sends the plan; a device that does not answer is told in a message box. Closes the window.
  model::EditOutcome Apply();

 private:
  void Fill();

  EditorContext& context_;
  model::ImportPlan plan_;
  QTableWidget* table_ = nullptr;
  QListWidget* skipped_ = nullptr;
  QLabel* difference_ = nullptr;
};

}  // namespace tessaly::editor
