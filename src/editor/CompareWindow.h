#pragma once

#include <QDialog>
#include <vector>

#include "connect/DeviceResync.h"

class QLabel;
class QTreeWidget;

namespace tessaly::editor {

inline constexpr const char* kCompareTitle = "Compare with device";

// Where the PC and the device disagree, one row per parameter grouped by channel with the pending
// edits first, and the user's choice per row, per channel or for all. It only shows and collects
// the choice; the editor's sync does the sending and taking.
class CompareWindow : public QDialog {
  Q_OBJECT

 public:
  CompareWindow(const QString& device_text, int device_type, QWidget* parent = nullptr);

  void ShowDifferences(const std::vector<programs::ParameterDifference>& differences);
  // Each row with the direction its box says: ticked takes the device's value.
  std::vector<connect::ResyncChoice> Choices() const;
  QTreeWidget* tree() const { return tree_; }

 signals:
  void sendPcValues();
  void takeDeviceValues();
  void applyChoices();

 private:
  int device_type_;
  QLabel* summary_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  std::vector<programs::ParameterDifference> shown_;
};

}  // namespace tessaly::editor
