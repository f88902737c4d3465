#pragma once

#include <QWidget>
#include <vector>

#include "editor/EditorContext.h"

class QCheckBox;
class QLabel;

namespace tessaly::editor {

class EqBandControls;
class EqGraphPanel;

inline constexpr const char* kEqFlatTitle = "EQ Flat";
inline constexpr const char* kAreYouSure = "               Are you sure ? ";

// A channel's EQ and crossovers: the response graph with its read-out and cursor toggle, the
// whole-EQ "Bypass" and flat-EQ controls, one column per band and, on outputs, the high-pass and
// low-pass filters.
class EqSection : public QWidget {
  Q_OBJECT

 public:
  EqSection(EditorContext& context, int channel, QWidget* parent = nullptr);

  EqGraphPanel* panel() const { return panel_; }
  EqBandControls* band(int band) const;
  // The question first; unless answered No every band of the channel goes flat.
  void FlattenEq();

 private:
  void OnBypassClicked(bool checked);
  void RefreshBypass();

  EditorContext& context_;
  int channel_;
  EqGraphPanel* panel_ = nullptr;
  QLabel* read_out_ = nullptr;
  QCheckBox* bypass_ = nullptr;
  std::vector<EqBandControls*> bands_;
};

}  // namespace tessaly::editor
