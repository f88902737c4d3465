#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "editor/EditorContext.h"

namespace tessaly::widgets {
class ValueEdit;
}

namespace tessaly::editor {

// Ties the controls of one page to their parameters: user actions go through the edit path, and
// each control is shown again from the record whenever the edit path reports its parameter (or
// the whole program) changed. A control is never written by anything else, so a value the
// program shows can never be sent back.
class SettingBinder : public QObject {
  Q_OBJECT

 public:
  using ShowFunction = std::function<void(int index)>;

  SettingBinder(EditorContext& context, QObject* parent = nullptr);

  model::EditTarget Target(model::ParamId id, int channel = -1, int element = -1) const;
  int Index(model::ParamId id, int channel = -1, int element = -1) const;
  QString Shown(model::ParamId id, int channel = -1, int element = -1) const;

  // `show` gets the parameter's index each time it changes (and at once).
  void Bind(model::ParamId id, int channel, int element, ShowFunction show);

  // A user's choice; the bound controls show the outcome, also when the edit was refused.
  void Set(model::ParamId id, int channel, int element, int index);
  // A typed value; unreadable text is answered with the warning and nothing is sent.
  void SetText(model::ParamId id, int channel, int element, const QString& text);
  // Keeps the edits between these as one undo step (a knob drag, a wheel turn).
  void BeginGesture(model::ParamId id);
  void EndGesture();

  // The warning every value box gives for text it cannot read.
  void WarnIncorrectValue();
  // The value as its text box shows it, and an index not yet sent as the box would show it.
  QString BoxText(model::ParamId id, int channel = -1, int element = -1) const;
  QString IndexText(model::ParamId id, int index) const;
  // Sets a text box of the page up for the decimals it takes.
  void TakeDecimals(widgets::ValueEdit* edit) const;

  void RefreshAll();

 private:
  struct Binding {
    model::ParamId id;
    int channel;
    int element;
    ShowFunction show;
  };

  void Refresh(int channel, model::ParamId id, int element);

  EditorContext& context_;
  std::vector<Binding> bindings_;
};

}  // namespace tessaly::editor
