#pragma once

#include <QList>
#include <QString>
#include <array>

#include "comm/Comm.h"
#include "comm/SerialLink.h"
#include "connect/ConnectSession.h"

namespace tessaly::connect {

inline constexpr int kComPortCount = 64;
inline constexpr int kSearchBaud = 57600;
inline constexpr const char* kSearchComTitle = "Search COM";
inline constexpr const char* kComNotFoundText = "COM not found";
inline constexpr const char* kComFoundText = "COM found:";

struct ComSearchResult {
  QList<int> found;   // ascending
  QString list_text;  // "COM<n>" and a line break per found port
};

// Tries to open COM1..COM64 at 57600 baud on `link` and tells the user what it found. The last
// port found stays open on `link`; the highest found becomes `com_port`. With nothing found
// `com_port` keeps its value.
ComSearchResult SearchComPorts(comm::SerialLink& link, device::Messenger& messenger,
                               int16_t& com_port);

// What the window shows when the user presses OK.
struct PortChoice {
  int16_t connection_mode = comm::kLinkUsb;  // Option2: 0 USB, 1 TCP/IP
  int device_count_option = 0;               // Option1 index; 0 = one address
  int com_index = 0;                         // COM list index = COM number
  int usb_id = 0;                            // USB ID list index
  std::array<QString, 4> single;             // single address octets
  std::array<QString, 8> several;            // range start and end octets
};

enum class AcceptResult { kSaved, kBadOctet, kWriteFailed };

inline constexpr const char* kBadOctetTitle = "Warning";
inline constexpr const char* kBadOctetText = "  Incorrect value";

// OK of the port selection: checks every octet field first, so a field that does not hold a
// number leaves both the file and the run-wide values untouched (and the user is warned). Then
// writes init.cfg and sets the run-wide choices.
AcceptResult AcceptPortSelection(const PortChoice& choice, ConnectSession& session,
                                 comm::CommState& state, device::Messenger& messenger);

}  // namespace tessaly::connect
