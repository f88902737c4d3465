#pragma once

namespace tessaly::comm {

// Texts the communication core shows.
inline constexpr const char* kLinkLossTitle = "Communication problem";
inline constexpr const char* kLinkLossText =
    "The system will be close the communication with the device. \n"
    "To reconnect with device, please select device from the Device List window.";

}  // namespace tessaly::comm
