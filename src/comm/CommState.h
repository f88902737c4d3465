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

  int16_t CurrentDevice = 0;
  int16_t LastSlot = -1;
  int16_t DemoType = 0;
  int16_t ConnectionMode = kLinkUsb;
  int16_t ComPort = 0;

  bool CommReady = false;
  bool CommSuspended = false;
  bool TxIdle = true;
  bool TransferLock = false;
  bool ReportLinkLoss = false;
  bool OnlineMode = false;
  bool KeepAliveHold = false;

  std::array<uint8_t, kRxBufferSize> RxBuffer{};
  std::array<uint8_t, kTxDataBufferSize> TxDataBuffer{};
  std::array<uint8_t, kAddressBytesSize> AddressBytes{};

  // Text of each slot's row in the device list; the list window shows it.
  std::array<QString, kSlotCount> row_text;
};

}  // namespace tessaly::comm
