#pragma once

#include <QObject>
#include <vector>

#include "meters/MeterPoll.h"

class QAction;
class QLabel;

namespace tessaly::comm {
class Comm;
}

namespace tessaly::editor {

class ChannelMeter;
class EditorWindow;
class MeterPoints;

// The live meters of one editor window: the poll on the window's timer, every channel meter of
// its pages and the blinking "Sleeping" label in its toolbar. On family B each channel's bar
// shows the meter point chosen in the window's MeterPoints (found among the window's children,
// made here when there is none); the choice is the editor's own and sends nothing.
class EditorMeters : public QObject {
  Q_OBJECT

 public:
  EditorMeters(EditorWindow& window, comm::Comm& comm);

  meters::MeterPoll& poll() { return *poll_; }
  QLabel* sleep_label() const { return sleep_label_; }
  const std::vector<ChannelMeter*>& channel_meters() const { return meters_; }

 private:
  void Show();

  meters::MeterPoll* poll_ = nullptr;
  MeterPoints* points_ = nullptr;
  std::vector<ChannelMeter*> meters_;
  QLabel* sleep_label_ = nullptr;
  QAction* sleep_action_ = nullptr;
};

// Gives the window its meters and starts the poll: the last step of opening an editor.
EditorMeters* AttachMeters(EditorWindow& window, comm::Comm& comm);

}  // namespace tessaly::editor
