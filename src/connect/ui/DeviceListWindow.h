#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "connect/ConnectSession.h"
#include "connect/DeviceList.h"

class QLabel;
class QProgressBar;
class QTableWidget;
class QTimer;

namespace tessaly::connect {

// "Device List": one row per found device. Refreshes its rows once after it is shown, starts the
// keep-alive, and opens a device's editor on a double-click.
class DeviceListWindow : public QWidget {
  Q_OBJECT

 public:
  // What the window needs from the main window.
  struct Hooks {
    // Shows the device's editor window once the device is read out and identified.
    std::function<void(int slot)> show_editor;
    // Brings the still open editor of a lost device forward and reconnects it.
    std::function<void(int slot)> reconnect_editor;
  };

  DeviceListWindow(ConnectContext& context, Hooks hooks, QWidget* parent = nullptr);

  QTableWidget* grid() const { return grid_; }
  DeviceList& device_list() { return list_; }

  // True from the window's start until every row has been refreshed once.
  bool refreshing() const { return refreshing_; }
  // Double-click on a row. When the device is ready its editor follows 50 ms later, after the
  // second identify.
  OpenResult OpenRow(int row);
  // The row says how many edits the device has not got; 0 takes the note away.
  void ShowPendingCount(int slot, int count);

 signals:
  // Every row has been refreshed once after the window showed.
  void refreshFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetRow(int slot, const QString& text);
  void FitColumn();
  void OnRefreshTimer();
  void OnRowTimer();
  void OnIdentifyTimer();
  void EndOpening();
  // Until the editor windows exist, opening a device ends with a note in the status bar.
  void ShowEditorWindow(int slot);

  ConnectContext& context_;
  Hooks hooks_;
  DeviceList list_;
  QTableWidget* grid_ = nullptr;
  QProgressBar* progress_bar_ = nullptr;
  QLabel* status_label_ = nullptr;
  QLabel* summary_label_ = nullptr;
  QTimer* refresh_timer_ = nullptr;
  QTimer* row_timer_ = nullptr;
  QTimer* identify_timer_ = nullptr;
  bool refreshing_ = true;
  int next_row_ = 0;
  int opening_slot_ = -1;
  std::array<int, comm::kSlotCount> pending_counts_{};
  // The opening sequence owns the keep-alive hold from the double-click until the editor is
  // shown (or the opening ends otherwise).
  std::optional<comm::KeepAliveHold> opening_hold_;
};

inline constexpr const char* kEditorMissingText =
    "The editor window for this device is not available yet";

}  // namespace tessaly::connect
