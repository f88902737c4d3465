#pragma once

#include <QString>

#include "comm/Comm.h"

namespace tessaly::app {

// How the program is connected, for the title and the status bar: "Off-line",
// "Demo: 3 devices", "USB: 1 device on-line", "TCP/IP: 2 of 3 devices on-line".
QString ConnectionSummary(const comm::Comm& comm);

}  // namespace tessaly::app
