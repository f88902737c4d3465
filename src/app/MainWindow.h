#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QAction;
class QDialog;
class QMdiArea;
class QMenu;
class QTimer;

class QLabel;

namespace tessaly::connect {
class ConnectWorkflow;
}
namespace tessaly::editor {
class EditorManager;
}

namespace tessaly::app {

class AppState;

// The exchange layer tells no change of its on-line flags, so the title looks at them this often.
inline constexpr int kConnectionShownMs = 1000;
inline constexpr int kTcpSlotsAtStart = 33;
inline constexpr const char* kGeometryKey = "mainWindow/geometry";
inline constexpr const char* kLayoutKey = "mainWindow/state";

inline constexpr const char* kLeaveOnlineTitle = "Connect";
inline constexpr const char* kLeaveOnlineText =
    "Check all connected devices , do you want to continue?";
inline constexpr const char* kExitTitle = "Exit";
inline constexpr const char* kExitText = "               Are you sure ? ";
inline constexpr const char* kTcpInitTitle = "TCPLibDemo";
inline constexpr const char* kTcpInitText = "Wrong TCP initialization!";

// The main window: a frame for the device list, the connect windows and the editors. It owns the
// Connect menu, the keep-alive timer and the exit sequence.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(AppState& state, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Sets up the transport and offers the Connect menu. False when the program must end; the user
  // has been told why.
  bool Load();

  AppState& state() { return state_; }
  QMdiArea* mdi_area() const { return mdi_area_; }

  // The device list window registers itself here so that leaving on-line mode can close it.
  void SetDeviceListWindow(QWidget* window);
  QWidget* device_list_window() const { return device_list_.data(); }

  // Port selection, connect window, device list and the open-editor hook.
  connect::ConnectWorkflow& connect_workflow() { return *workflow_; }
  // The open editor windows, one per device at most.
  editor::EditorManager& editors() { return *editors_; }

 public slots:
  // The Connect menu's only item: leave on-line mode if the user agrees, then choose a port.
  void OnConnectTriggered();
  // Help → User guide (F1): one window, brought forward when it is already open.
  void ShowUserGuide();
  void ShowAbout();
  // File → Settings; confirmed folders apply to the next file dialog and the next connection.
  void ShowSettings();
  // Searches the network range saved in init.cfg without asking and opens the editor of the
  // first device on-line (the demo's start).
  void ConnectAndOpenFirst();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildWindowMenu();
  void FillWindowMenu();
  // Title and status bar follow the connection: link kind and devices on-line.
  void ShowConnection();
  void OpenFirstWhenListed(QWidget* list);
  // The Connect menu is offered while no editor is open: reconnecting under an editor would pull
  // its links away.
  void ShowConnectMenu();
  // False when a device over USB did not let go: the session stays as it was.
  bool LeaveOnlineMode();

  AppState& state_;
  QMdiArea* mdi_area_ = nullptr;
  QMenu* connection_mode_ = nullptr;
  QMenu* window_menu_ = nullptr;
  QDialog* user_guide_ = nullptr;
  QLabel* connection_label_ = nullptr;
  QTimer* connection_timer_ = nullptr;
  connect::ConnectWorkflow* workflow_ = nullptr;
  editor::EditorManager* editors_ = nullptr;
  QPointer<QWidget> device_list_;
  bool open_first_pending_ = false;
};

}  // namespace tessaly::app
