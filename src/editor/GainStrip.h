#pragma once

#include <QFrame>

#include "editor/EditorContext.h"

namespace tessaly::editor {

class MuteButton;
class ParameterColumn;

// One channel's gain as a desk strip: the channel's name over a bar in its graph colour, the
// gain knob, fader and text, and the mute button. Named "strip<channel name>".
class GainStrip : public QFrame {
  Q_OBJECT

 public:
  // kDesk puts the mute under the fader; kCompact beside the name, a row lower for pages that
  // need the height elsewhere.
  enum class Shape { kDesk, kCompact };

  GainStrip(EditorContext& context, int channel, QWidget* parent = nullptr,
            Shape shape = Shape::kDesk);

  ParameterColumn& gain() { return *gain_; }
  MuteButton& mute() { return *mute_; }

 private:
  ParameterColumn* gain_ = nullptr;
  MuteButton* mute_ = nullptr;
};

}  // namespace tessaly::editor
