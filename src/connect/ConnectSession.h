#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "comm/Comm.h"
#include "connect/InitConfig.h"
#include "programs/FileLocations.h"
#include "programs/ProgramNames.h"
#include "programs/SleepTable.h"
#include "protocol/ProgramStore.h"

namespace tessaly::settings {
class Settings;
}

namespace tessaly::connect {

inline constexpr const char* kDemoFirmwareVersion = "1.1.5-B";
inline constexpr const char* kDemoSecondVersion = "1.0.4";

// What the port selection decided and the connect windows read, for one run.
struct ConnectSession {
  QString program_folder;  // where init.cfg is kept
  programs::FileLocations locations = programs::FileLocations::InFolder({});
  // What the windows remember between runs; none when a test leaves it out.
  settings::Settings* settings = nullptr;
  InitConfig config;
  bool several_addresses = false;
  bool port_selection_cancelled = false;
  int16_t usb_id_choice = 0;
  bool scan_cancelled = false;
  // How the last network search ended: one line, and one line per address.
  QString scan_summary;
  QString scan_details;
  QString demo_firmware_version = QString::fromLatin1(kDemoFirmwareVersion);
  QString demo_second_version = QString::fromLatin1(kDemoSecondVersion);

  QString ConfigPath() const { return InitConfigPath(program_folder); }
  // Reads init.cfg into `config`; a missing or short file keeps what `config` held.
  bool LoadConfig() { return LoadInitConfig(ConfigPath(), config); }
};

// Everything a connect or read-out sequence works on. The sequences keep no state of their own
// between runs; the windows and tests hand them this.
struct ConnectContext {
  comm::Comm& comm;
  ConnectSession& session;
  protocol::ProgramStore& store;
  programs::ProgramNames& names;
  programs::SleepTables& sleep;
};

// How a sequence talks to its window: status line, progress bar, and the questions only a window
// can ask (the device type for USB demo mode).
struct ConnectHooks {
  std::function<void(const QString& text)> status;
  std::function<void(int value, int maximum)> progress;
  std::function<int16_t(int16_t preset)> choose_demo_type;

  void Status(const QString& text) const {
    if (status) status(text);
  }
  void Progress(int value, int maximum) const {
    if (progress) progress(value, maximum);
  }
};

enum class ConnectOutcome {
  kDevicesListed,  // hand over to the device list
  kDemo,           // demo slots filled, hand over to the device list
  kStayOffline,    // the user declined demo mode
  kCancelled,
  kInitFailed,  // the TCP component could not be set up
};

// Fills the table for demo mode without any traffic and gives every demo slot the factory program
// names. Returns the highest slot filled.
int16_t RunDemoSetup(ConnectContext& context);

// Name of a device from the 16 data bytes of a read at settings address 0, blanks kept.
QString NameFromReply(const comm::ExchangeResult& read);

}  // namespace tessaly::connect
