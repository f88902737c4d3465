#pragma once

#include <QDialog>

#include "programs/ui/ProgramTools.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QProgressBar;

namespace tessaly::programs {

inline constexpr const char* kNameSymbolsText =
    "Please use the following symbols: 0 - 9\uFF0CA - Z\uFF0Ca - z\uFF0C< >\uFF0C()\uFF0C-_+=... "
    "ASCII Chars";

// "Store Program": names the edit buffer and stores it into a program slot of the device.
class StoreProgramDialog : public QDialog {
  Q_OBJECT

 public:
  StoreProgramDialog(ProgramTools tools, QWidget* parent = nullptr);

  // Button 1: asks, stores, closes. The program stored, 0-based; -1 until one was.
  void StoreSelected();
  int stored_program() const { return stored_; }

  QListWidget* list() const { return list_; }
  QComboBox* combo() const { return combo_; }
  QLineEdit* name_edit() const { return name_; }

 private:
  void SelectRow(int row);
  void CheckName(const QString& text);

  ProgramTools tools_;
  QListWidget* list_;
  QComboBox* combo_;
  QLineEdit* name_;
  QProgressBar* progress_;
  int stored_ = -1;
};

}  // namespace tessaly::programs
