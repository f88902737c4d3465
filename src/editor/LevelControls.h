#pragma once

#include <QString>
#include <QWidget>

#include "model/ParamId.h"

namespace tessaly::widgets {
class Knob;
class ParameterSlider;
class ValueEdit;
}  // namespace tessaly::widgets

namespace tessaly::editor {

class SettingBinder;

// A knob, an upside-down slider and a text box over one scaled device parameter. The knob sends
// while it turns, the slider only when it is let go, the text box on Enter; all three show what
// the record holds.
class LevelControls : public QWidget {
  Q_OBJECT

 public:
  // `name` prefixes the object names: <name>Knob, <name>Slider, <name>Edit.
  LevelControls(SettingBinder& binder, model::ParamId id, const QString& name,
                QWidget* parent = nullptr);

 private:
  void ShowIndex(int index);
  void ShowPending(int index);
  void Commit(int index);

  SettingBinder& binder_;
  model::ParamId id_;
  widgets::Knob* knob_;
  widgets::ParameterSlider* slider_;
  widgets::ValueEdit* edit_;
};

}  // namespace tessaly::editor
