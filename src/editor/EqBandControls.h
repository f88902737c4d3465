#pragma once

#include <QFrame>

#include "editor/EditorContext.h"
#include "graph/GraphMarkers.h"
#include "model/EditTypes.h"

class QAbstractButton;
class QMenu;
class QToolButton;

namespace tessaly::widgets {
class Knob;
class ParameterSlider;
class ValueEdit;
}  // namespace tessaly::widgets

namespace tessaly::editor {

class ParameterBinding;

inline constexpr const char* kIncorrectQValue = "  Incorrect Q value";

// One EQ band of a channel as a column: type, frequency, gain knob, slider and text, Q up-down
// and text, band bypass. Object names end in the band's number within the channel from 0
// ("eqFreqEdit3"). Every change goes through the edit path; the column repaints from its change
// notifications only.
class EqBandControls : public QFrame {
  Q_OBJECT

 public:
  EqBandControls(EditorContext& context, int channel, int band, QWidget* parent = nullptr);

  int band() const { return band_; }
  // The "Filter Type" menu's choice t (0 "Bell" .. 5 "Notch").
  void PickType(int type);
  // Opens the "Filter Type" menu at the type button with the band's type checked.
  void PopUpTypeMenu();
  QMenu* typeMenu() const { return type_menu_; }
  // While a marker is dragged the frequency and gain follow it here, nothing is sent.
  void ShowDragged(const graph::MarkerValue& value);
  void Refresh();

 private:
  model::EditTarget Band(model::ParamId id) const;
  void OnFrequencyCommitted(const QString& text);
  void OnQCommitted(const QString& text);
  void StepQ(int steps);
  void OnParameterChanged(int slot, int channel, model::ParamId id, int element);

  EditorContext& context_;
  int channel_;
  int band_;
  QToolButton* type_button_ = nullptr;
  QMenu* type_menu_ = nullptr;
  widgets::ValueEdit* freq_edit_ = nullptr;
  ParameterBinding* gain_ = nullptr;
  widgets::Knob* gain_knob_ = nullptr;
  widgets::ParameterSlider* gain_slider_ = nullptr;
  widgets::ValueEdit* gain_edit_ = nullptr;
  widgets::ValueEdit* q_edit_ = nullptr;
  QAbstractButton* bypass_ = nullptr;
};

}  // namespace tessaly::editor
