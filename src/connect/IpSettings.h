#pragma once

#include <QString>
#include <array>
#include <optional>

#include "comm/Comm.h"
#include "protocol/SlotState.h"

namespace tessaly::connect {

inline constexpr const char* kIpConfirmText = "       Are you sure?";
inline constexpr const char* kIpConfirmTitle = "IP settings";
inline constexpr const char* kIpFailedText = "Ip not updated";
inline constexpr const char* kIpFailedTitle = "Save";
inline constexpr int kIpSettleMs = 2000;

enum class IpSaveResult { kDeclined, kSaved, kFailed, kBadOctet };

// Save of the IP settings window: asks, stores the four octets in the slot state and sends them
// with command 120. A demo device (nothing is sent) counts as saved. An empty octet field is
// refused before anything is asked.
IpSaveResult SaveDeviceIp(comm::Comm& comm, protocol::SlotState& slot_state, int slot,
                          const std::array<QString, 4>& octet_texts);

}  // namespace tessaly::connect
