#pragma once

#include <QWidget>

#include "editor/EditorContext.h"

namespace tessaly::widgets {
class Knob;
class ParameterSlider;
class ValueEdit;
}  // namespace tessaly::widgets

namespace tessaly::editor {

class ParameterBinding;

// One parameter as a column: caption, knob, upside-down slider (optional) and text box, bound
// together. Object names follow the parameter: "gainKnob", "compRatioSlider", "gateAttackEdit".
class ParameterColumn : public QWidget {
  Q_OBJECT

 public:
  struct Look {
    QString caption;
    bool slider = true;
    int slider_height = 0;   // 0: the fader grows with the column
    int default_index = -1;  // -1: the index the record holds when the page opens
  };

  ParameterColumn(EditorContext& context, model::ParamId id, int channel, const Look& look,
                  QWidget* parent = nullptr);

  ParameterBinding& binding() { return *binding_; }
  widgets::Knob* knob() const { return knob_; }
  widgets::ParameterSlider* slider() const { return slider_; }
  widgets::ValueEdit* edit() const { return edit_; }

 private:
  ParameterBinding* binding_ = nullptr;
  widgets::Knob* knob_ = nullptr;
  widgets::ParameterSlider* slider_ = nullptr;
  widgets::ValueEdit* edit_ = nullptr;
};

}  // namespace tessaly::editor
