#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "editor/EditorContext.h"
#include "graph/ResponseCurves.h"
#include "model/TargetMatch.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace tessaly::editor {

// Proposes band settings that bring one of the channel's measurements (or their average), plus
// its EQ, toward a
// target (flat or a target file), shows them with the error before and after, and applies them
// through the edit path as one undo step. Locked bands stay as they are; the locks are kept
// with the measurements, never sent.
class MatchWindow : public QDialog {
  Q_OBJECT

 public:
  MatchWindow(EditorContext& context, int channel, QWidget* parent = nullptr);

  // A target file (same text as a measurement); false with a message when it cannot be read.
  bool LoadTarget(const QString& path);
  // Runs the match; false when the channel has no measurement.
  bool Propose();
  // Sends the proposal; nothing happens without one.
  model::EditOutcome Apply();
  const std::optional<model::MatchResult>& proposal() const { return proposal_; }

 private:
  model::MatchRequest Request() const;
  void ShowProposal();
  void ListMeasurements();

  EditorContext& context_;
  int channel_;
  int first_band_ = 0;
  std::optional<graph::Curve> target_;
  QComboBox* measurement_choice_ = nullptr;
  bool measurement_chosen_ = false;
  QComboBox* target_choice_ = nullptr;
  QSpinBox* low_ = nullptr;
  QSpinBox* high_ = nullptr;
  QDoubleSpinBox* boost_ = nullptr;
  std::vector<QCheckBox*> locks_;
  QTableWidget* table_ = nullptr;
  QLabel* error_ = nullptr;
  QPushButton* apply_ = nullptr;
  std::optional<model::MatchResult> proposal_;
};

}  // namespace tessaly::editor
