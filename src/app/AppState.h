#pragma once

#include <QString>
#include <cstdint>

#include "comm/Comm.h"
#include "device/Messenger.h"
#include "programs/FileLocations.h"
#include "settings/Settings.h"
#include "version/Version.h"

namespace tessaly::app {

inline constexpr const char* kSoftwareVersion = tessaly::kVersion;
// Version texts the demo devices show in place of what a real device reports.
inline constexpr const char* kDemoFirmwareVersion = "1.1.5-B";
inline constexpr const char* kDemoSecondVersion = "1.0.4";
inline constexpr int kReferenceDpi = 96;

// Run-wide values of one run of the application. The windows read and write them through the one
// instance main() makes; tests make a fresh one per case.
class AppState {
 public:
  explicit AppState(device::Messenger& messenger) : messenger_(messenger), comm_(messenger) {}
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;

  device::Messenger& messenger() { return messenger_; }
  comm::Comm& comm() { return comm_; }
  const comm::Comm& comm() const { return comm_; }
  comm::CommState& comm_state() { return comm_.state(); }
  const comm::CommState& comm_state() const { return comm_.state(); }

  QString program_folder;
  // Where init.cfg, presets, projects and backups go.
  programs::FileLocations locations = programs::FileLocations::InFolder({});
  // Preferences and what the windows remember; the start opens the file beside init.cfg.
  settings::Settings settings;
  int32_t screen_dpi = kReferenceDpi;
  double dpi_scale = 1.0;
  // True when the user's locale writes a decimal comma (anything but "."): the editors then
  // accept and show "," in their number boxes.
  bool decimal_comma = false;
  QString software_version;
  QString demo_firmware_version;
  QString demo_second_version;
  // -1 while no editor window is open; each editor adds 1 when it opens and subtracts 1 when it
  // closes. The Connect menu is available only while it is negative.
  int16_t editor_count = -1;

 private:
  device::Messenger& messenger_;
  comm::Comm comm_;
};

}  // namespace tessaly::app
