#pragma once

#include <array>
#include <cstdint>

#include "comm/DeviceTable.h"
#include "comm/Packet.h"

namespace tessaly::comm {

inline constexpr int kRxBufferSize = 513;
inline constexpr int kTxDataBufferSize = kMaxDataBytes;
inline constexpr int kAddressBytesSize = 31;

// Run-wide values of the communication core. One object per run (tests make their own).
struct CommState {
  DeviceTable table;

  int16_t current_device = 0;
  int16_t last_slot = -1;
  int16_t demo_type = 0;
  int16_t connection_mode = kLinkUsb;
  int16_t com_port = 0;

  bool comm_ready = false;
  bool comm_suspended = false;
  bool tx_idle = true;
  bool transfer_lock = false;
  bool report_link_loss = false;
  bool online_mode = false;
  bool keep_alive_hold = false;

  std::array<uint8_t, kRxBufferSize> rx_buffer{};
  std::array<uint8_t, kTxDataBufferSize> tx_data_buffer{};
  std::array<uint8_t, kAddressBytesSize> address_bytes{};

  // Text of each slot's row in the device list; the list window shows it.
  std::array<QString, kSlotCount> row_text;
};

}  // namespace tessaly::comm
