#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QAction;
class QActionGroup;
class QMdiArea;
class QMenu;
class QTimer;

namespace tessaly::app {

class AppState;

inline constexpr int kConnectMenuPollMs = 1000;
inline constexpr int kKeepAliveFirstMs = 4000;
inline constexpr int kKeepAliveMs = 1000;
// Once the program is ending the keep-alive must not come back before the links are closed.
inline constexpr int kKeepAliveParkedMs = 10000;
inline constexpr int kTcpSlotsAtStart = 33;

inline constexpr const char* kLeaveOnlineTitle = "Connect";
inline constexpr const char* kLeaveOnlineText =
    "Check all connected devices , do you want to continue?";
inline constexpr const char* kExitTitle = "Exit";
inline constexpr const char* kExitText = "               Are you sure ? ";
inline constexpr const char* kTcpInitTitle = "TCPLibDemo";
inline constexpr const char* kTcpInitText = "Wrong TCP initialization!";
inline constexpr const char* kPortSelectionMissingText =
    "Port selection is not available in this build";

// The main window: a frame for the device list, the connect windows and the editors. It owns the
// Connect menu, the keep-alive timer, the pop-up menus the editors borrow, and the exit sequence.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(AppState& state, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Sets up the transport and starts Timer1. False when the program must end; the user has been
  // told why.
  bool Load();

  AppState& state() { return state_; }
  QMdiArea* mdi_area() const { return mdi_area_; }

  // Called by the device list window once it has filled: the first keep-alive round waits
  // 4000 ms, the following ones 1000 ms.
  void StartKeepAlive();
  // The device list window registers itself here so that leaving on-line mode can close it.
  void SetDeviceListWindow(QWidget* window);
  QWidget* device_list_window() const { return device_list_.data(); }

  // Shows the port selection modally and, unless the user cancels it, opens the connect window
  // of the chosen transport. False when it was cancelled (or nothing could be shown).
  bool ShowPortSelection();

  // "Filter Type": one checkable item per EQ band type, item index = type code.
  QMenu* ShapeEqMenu() const { return shape_eq_; }
  // Meter point menu; its items are set by the editor that pops it up.
  QMenu* MeterSelMenu() const { return meter_sel_; }
  void SetMeterSelItems(const QStringList& items);

 public slots:
  // The Connect menu's only item: leave on-line mode if the user agrees, then choose a port.
  void ModeConnectClick();
  void ShowAbout();

 signals:
  void ShapeEqFilterClicked(int type);
  void MeterSelItemClicked(int item);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void Timer1Tick();
  void Timer3Tick();
  // False when a device over USB did not let go: the session stays as it was.
  bool LeaveOnlineMode();

  AppState& state_;
  QMdiArea* mdi_area_ = nullptr;
  QMenu* connection_mode_ = nullptr;
  QMenu* shape_eq_ = nullptr;
  QActionGroup* shape_eq_group_ = nullptr;
  QMenu* meter_sel_ = nullptr;
  QTimer* timer1_ = nullptr;
  QTimer* timer3_ = nullptr;
  QPointer<QWidget> device_list_;
};

}  // namespace tessaly::app
