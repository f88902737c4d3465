#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "editor/EditorContext.h"
#include "model/EditTypes.h"

namespace tessaly::widgets {
class Knob;
class ParameterSlider;
class ValueEdit;
}  // namespace tessaly::widgets

namespace tessaly::editor {

// Ties a knob, a slider and a text box (any of them) to one parameter so the three always show
// the record's value. A knob drag sends while it moves, a slider sends at its release, a text
// sends on Enter; one gesture is one undo entry. Values are repainted only from the edit path's
// change notifications, and a value the program writes is never sent back.
//
// On a slow line a move that arrives while an exchange is running only updates the display; the
// latest value goes out as soon as the line is free, and the final one always does.
class ParameterBinding : public QObject {
  Q_OBJECT

 public:
  ParameterBinding(EditorContext& context, model::EditTarget target, QObject* parent = nullptr);

  void SetKnob(widgets::Knob* knob);
  void SetSlider(widgets::ParameterSlider* slider);
  void SetEdit(widgets::ValueEdit* edit);
  // What a reset gesture (double-click, Ctrl-click, Delete) puts back.
  void SetDefaultIndex(int index);

  const model::EditTarget& target() const { return target_; }
  // The index the controls show after the last refresh.
  int index() const { return index_; }
  // Reads the record and shows it on every control.
  void Refresh();

 private:
  enum class Source { kKnob, kSlider, kEdit, kNone };

  void OnGestureStarted();
  void OnChanging(int control_index, Source source);
  void OnCommitted(int control_index);
  void OnGestureEnded();
  void OnTextCommitted(const QString& text);
  void OnParameterChanged(int slot, int channel, model::ParamId id, int element);
  void Flush();
  // Frames the text box while the device has not acknowledged the parameter.
  void ShowPendingMark();
  void Send(int index);
  // What the parameter is and the values it takes, as the control's tooltip unless it has one.
  void ShowHelp(QWidget* control) const;
  void ShowIndex(int index, Source except);
  QString NumberText(int index) const;
  int Minimum() const;

  EditorContext& context_;
  model::EditTarget target_;
  QPointer<widgets::Knob> knob_;
  QPointer<widgets::ParameterSlider> slider_;
  QPointer<widgets::ValueEdit> edit_;
  int index_ = 0;

  int gestures_ = 0;         // controls of this binding inside a gesture
  bool undo_group_ = false;  // the edit path's gesture is open
  std::optional<int> pending_;
  std::optional<int> last_sent_;
  bool sending_ = false;
  QTimer flush_timer_;
};

}  // namespace tessaly::editor
