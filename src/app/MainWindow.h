#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QAction;
class QActionGroup;
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

inline constexpr int kConnectMenuPollMs = 1000;
inline constexpr int kTcpSlotsAtStart = 33;

inline constexpr const char* kLeaveOnlineTitle = "Connect";
inline constexpr const char* kLeaveOnlineText =
    "Check all connected devices , do you want to continue?";
inline constexpr const char* kExitTitle = "Exit";
inline constexpr const char* kExitText = "               Are you sure ? ";
inline constexpr const char* kTcpInitTitle = "TCPLibDemo";
inline constexpr const char* kTcpInitText = "Wrong TCP initialization!";

// The main window: a frame for the device list, the connect windows and the editors. It owns the
// Connect menu, the keep-alive timer, the pop-up menus the editors borrow, and the exit sequence.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(AppState& state, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Sets up the transport and starts the Connect menu timer. False when the program must end; the
  // user has been told why.
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

  // "Filter Type": one checkable item per EQ band type, item index = type code.
  QMenu* ShapeEqMenu() const { return eq_type_menu_; }
  // Meter point menu; its items are set by the editor that pops it up.
  QMenu* MeterSelMenu() const { return meter_point_menu_; }
  void SetMeterSelItems(const QStringList& items);

 public slots:
  // The Connect menu's only item: leave on-line mode if the user agrees, then choose a port.
  void OnConnectTriggered();
  void ShowAbout();
  // Searches the network range saved in init.cfg without asking and opens the editor of the
  // first device on-line (the demo's start).
  void ConnectAndOpenFirst();

 signals:
  void ShapeEqFilterClicked(int type);
  void MeterSelItemClicked(int item);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildWindowMenu();
  void FillWindowMenu();
  // Title and status bar follow the connection: link kind and devices on-line.
  void ShowConnection();
  void OpenFirstWhenListed(QWidget* list);
  void OnConnectMenuTimer();
  // False when a device over USB did not let go: the session stays as it was.
  bool LeaveOnlineMode();

  AppState& state_;
  QMdiArea* mdi_area_ = nullptr;
  QMenu* connection_mode_ = nullptr;
  QMenu* eq_type_menu_ = nullptr;
  QActionGroup* shape_eq_group_ = nullptr;
  QMenu* meter_point_menu_ = nullptr;
  QMenu* window_menu_ = nullptr;
  QLabel* connection_label_ = nullptr;
  QTimer* connect_menu_timer_ = nullptr;
  connect::ConnectWorkflow* workflow_ = nullptr;
  editor::EditorManager* editors_ = nullptr;
  QPointer<QWidget> device_list_;
  bool open_first_pending_ = false;
};

}  // namespace tessaly::app
