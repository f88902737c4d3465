#pragma once

#include <array>
#include <cstdint>

#include "comm/DeviceTable.h"
#include "comm/Packet.h"

namespace tessaly::comm {

// What the run knows of its devices and its connection. One object per run (tests make their
// own). The traffic state that gates exchanges is not here: only the exchange layer writes it.
struct CommState {
  DeviceTable table;

  int16_t current_device = 0;
  int16_t last_slot = -1;
  int16_t demo_type = 0;
  int16_t connection_mode = kLinkUsb;
  int16_t com_port = 0;

  // Text of each slot's row in the device list; the list window shows it.
  std::array<QString, kSlotCount> row_text;
};

}  // namespace tessaly::comm
