#pragma once

#include <QString>
#include <functional>

#include "connect/ConnectSession.h"
#include "connect/DeviceReadout.h"

namespace tessaly::connect {

inline constexpr const char* kConnectQuestion =
    "Do you want to connect this device, are you sure ? ";
inline constexpr const char* kConnectQuestionTitle = "Connect device";
inline constexpr const char* kDisconnectedText = "Device disconnected";
inline constexpr const char* kDisconnectedTitle = "Communication problem";
inline constexpr const char* kAlreadyOpenText = "The window is already open";
inline constexpr const char* kAlreadyOpenTitle = "Edit window";
inline constexpr int kRowPauseMs = 50;
inline constexpr int kIdentifyPauseMs = 50;

// "USB - <name> - On-line" or "IP:<address> - <name> - Off-line".
QString DeviceRowText(int16_t connection_mode, const QString& address, const QString& name,
                      bool online);

enum class OpenOutcome {
  kReady,         // read and identified: the editor may be shown
  kDeclined,      // the user did not want to reconnect
  kDisconnected,  // the link could not be re-established
  kAlreadyOpen,
  kInvalidRow,
};

struct OpenResult {
  OpenOutcome outcome = OpenOutcome::kInvalidRow;
  bool read_out = false;  // a device read-out ran
  ReadoutResult readout;
};

// The logic of the device list window: its rows, and opening a device up to the point where its
// editor is shown.
class DeviceList {
 public:
  using Pause = std::function<void(int ms)>;

  explicit DeviceList(ConnectContext& context, Pause pause = {});

  int RowCount() const { return context_.comm.state().last_slot + 1; }

  // Window load: on-line mode starts.
  void Load();
  // The one-shot refresh: identifies every listed device again (or reconnects it over TCP/IP)
  // and writes its row.
  void RefreshRows();
  // Double-click on a row. Holds the keep-alive; the editor lowers it once it is shown.
  OpenResult OpenDevice(int row, const ConnectHooks& hooks);

 private:
  bool Relink(int slot);
  void Wait(int ms) const;
  QString ListedName(int slot) const;
  void WriteRow(int slot, const QString& name, bool online);
  void Identify(int slot);

  ConnectContext& context_;
  Pause pause_;
};

}  // namespace tessaly::connect
