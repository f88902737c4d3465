#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>
#include <optional>

#include "comm/DeviceTable.h"
#include "editor/EditorCore.h"

class QAction;
class QMdiArea;
class QMdiSubWindow;

namespace tessaly::editor {

class EditorWindow;

// The open editor windows, at most one per device slot, inside the main window's MDI area. Opens
// them for the device list, keeps EditorCount and the slot's EditorOpen, follows the active
// window into CurrentDevice, closes a window whose device was lost, and points Undo and Redo at
// the active window's device.
class EditorManager : public QObject {
  Q_OBJECT

 public:
  EditorManager(connect::ConnectRuntime& runtime, QMdiArea* mdi_area, int16_t& editor_count,
                bool decimal_comma, QObject* parent = nullptr);
  ~EditorManager() override;

  EditorCore& core() { return core_; }
  // The device list's hook: shows the slot's editor, or says it is already open (nullptr).
  EditorWindow* Open(int slot);
  EditorWindow* EditorOf(int slot) const;
  // The slot of the MDI area's current editor window, -1 when the current window is no editor.
  int ActiveSlot() const;

  // The program is ending: every editor closes without its question and stops polling.
  void CloseAllWithoutAsking();

  // The still open editor of a lost device comes forward and reconnects.
  void ReconnectEditor(int slot);
  // Asks before the program ends with edits some device never got, naming each device and its
  // count; true when nothing is pending or the user agreed, nullopt when nothing was asked.
  std::optional<bool> MayQuitWithPending();

  QAction* undo_action() const { return undo_; }
  QAction* send_all_action() const { return send_all_; }
  QAction* reread_action() const { return reread_; }
  QAction* redo_action() const { return redo_; }
  // Texts and availability of Undo and Redo for the active editor's device.
  void RefreshUndoActions();

 signals:
  void editorOpened(int slot);
  void editorClosed(int slot);
  // The number of edits the slot's device has not got changed.
  void pendingCountChanged(int slot, int count);

 private:
  EditorWindow* CreateWindow(int slot);
  void OnSubWindowActivated(QMdiSubWindow* window);
  void OnEditorClosed(int slot);
  void OnDeviceLost(int slot, const QString& reason);
  void OnUndo();
  void OnRedo();

  connect::ConnectRuntime& runtime_;
  comm::Comm& comm_;
  EditorCore core_;
  QMdiArea* mdi_area_;
  int16_t& editor_count_;
  bool decimal_comma_;
  std::array<QPointer<QMdiSubWindow>, comm::kSlotCount> frames_{};
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* send_all_ = nullptr;
  QAction* reread_ = nullptr;
};

}  // namespace tessaly::editor
