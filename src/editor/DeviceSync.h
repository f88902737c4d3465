#pragma once

#include <QObject>
#include <QPointer>

#include "connect/DeviceResync.h"
#include "editor/CompareWindow.h"

class QAction;

namespace tessaly::connect {
struct ConnectRuntime;
}

namespace tessaly::editor {

class EditorWindow;
struct EditorCore;

inline constexpr const char* kSendAllTitle = "Send all to device";
inline constexpr const char* kEqualText = "The device holds what this editor shows.";
inline constexpr const char* kOfflineFirstText =
    "The device is off-line. Reconnect it first; its edits wait as pending.";

// Keeps one editor's device in step on the user's word: Reconnect from the off-line bar,
// "Re-read from device" and "Compare with device…" open the compare window when the device holds
// something else, "Send all to device" writes the whole image and reads it back.
class DeviceSync : public QObject {
  Q_OBJECT

 public:
  DeviceSync(EditorWindow& window, EditorCore& core, connect::ConnectRuntime& runtime);

  void Reconnect();
  // Reads the device again; the compare window opens when anything differs. `tell_equal` says so
  // when nothing does.
  void Reread(bool tell_equal);
  void SendAll();

  CompareWindow* compare_window() const { return compare_.data(); }
  QAction* send_all_action() const { return send_all_; }

 signals:
  // The compare window has its rows and is shown.
  void compareShown();
  // A reconnect or re-read ended with the device equal to the editor (no window).
  void inStep();

 private:
  void AfterRead(connect::ResyncStatus status, bool tell_equal);
  void ShowCompare();
  void ApplyChoices(std::vector<connect::ResyncChoice> choices);
  void TakeAll();
  bool Offline() const;
  void Tell(const QString& text);

  EditorWindow& window_;
  EditorCore& core_;
  connect::ConnectRuntime& runtime_;
  connect::DeviceResync resync_;
  QPointer<CompareWindow> compare_;
  QAction* send_all_ = nullptr;
};

// Gives the window its sync actions (tool row) and the Reconnect of its off-line bar.
DeviceSync* InstallDeviceSync(EditorWindow& window, EditorCore& core,
                              connect::ConnectRuntime& runtime);

}  // namespace tessaly::editor
