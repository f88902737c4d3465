#pragma once

#include <QString>
#include <optional>

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
  kReadFailed,  // the read-out stopped; the user was told at which step
  kInvalidRow,
};

struct OpenResult {
  OpenOutcome outcome = OpenOutcome::kInvalidRow;
  bool read_out = false;  // a device read-out ran
  ReadoutResult readout;
  // With kReady the keep-alive stays held until the editor is shown: whoever finishes the
  // opening keeps this and lets it go then, whatever happens in between.
  std::optional<comm::KeepAliveHold> hold;
};

// "memory image", "versions" ...: the read-out step as the user is told it.
QString ReadoutStepText(ReadoutStep step);

// The logic of the device list window: its rows, and opening a device up to the point where its
// editor is shown. The window paces the steps (a row, or an identify, every 50 ms).
class DeviceList {
 public:
  explicit DeviceList(ConnectContext& context);

  int RowCount() const { return context_.comm.state().last_slot + 1; }

  // Window load: on-line mode starts.
  void Load();
  // One row of the one-shot refresh: identifies the listed device again (or reconnects it over
  // TCP/IP) and writes its row.
  void RefreshRow(int slot);
  // Double-click on a row, up to the first of the two identifies that end it. Holds the
  // keep-alive throughout; a refusal lets it go, kReady hands it over in the result.
  OpenResult OpenDevice(int row, const ConnectHooks& hooks);
  // Command 0 with the connection mode in P8; opening ends with a second one 50 ms later.
  void Identify(int slot);
  // Re-establishes a lost slot's link and probes it (twice at most); marks it on-line again and
  // rereads its name. False when the device did not answer: "Device disconnected" was shown.
  bool Relink(int slot);

 private:
  QString ListedName(int slot) const;
  void WriteRow(int slot, const QString& name, bool online);
  void ReportReadFailure(int slot, ReadoutStep step);

  ConnectContext& context_;
};

}  // namespace tessaly::connect
