#pragma once

#include <QGroupBox>

#include "editor/EditorContext.h"
#include "model/EditTypes.h"

class QComboBox;

namespace tessaly::widgets {
class ValueEdit;
}

namespace tessaly::editor {

inline constexpr const char* kIncorrectFrequencyValue = "  Incorrect frequency value";
inline constexpr const char* kIncorrectFValue = "  Incorrect f value";

// The high-pass ("High Pass Filter") or low-pass ("Low Pass Filter") filter of an output: its
// slope/type list and its frequency text ("hpSlopeCombo", "hpFreqEdit", "lp..." for the other).
class CrossoverControls : public QGroupBox {
  Q_OBJECT

 public:
  CrossoverControls(EditorContext& context, int channel, bool low_pass, QWidget* parent = nullptr);

  // A slope picked from the list: the frequency text is clamped, then the filter is sent.
  void PickSlope(int slope);
  void Refresh();

 private:
  model::EditTarget Frequency() const;
  model::EditTarget Slope() const;
  void OnFrequencyCommitted(const QString& text);
  void Warn(const char* text);

  EditorContext& context_;
  int channel_;
  QString prefix_;
  bool low_pass_;
  QComboBox* slope_ = nullptr;
  widgets::ValueEdit* freq_ = nullptr;
};

}  // namespace tessaly::editor
