#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace tessaly::comm {

inline constexpr int kSlotCount = 33;
inline constexpr int kFirstSlot = 0;
inline constexpr int kLastSlot = kSlotCount - 1;

bool IsValidSlot(int slot);

inline constexpr int16_t kLinkUsb = 0;
inline constexpr int16_t kLinkTcp = 1;
inline constexpr int16_t kResetDeviceId = 255;
// The reset text really has a blank in place of the last dot.
inline constexpr const char* kResetIpAddress = "192.168.0 1";

struct DeviceEntry {
  bool online = false;
  bool editor_open = false;
  int16_t device_id = kResetDeviceId;
  QString ip_address = QString::fromLatin1(kResetIpAddress);
  int16_t link_kind = kLinkUsb;
  bool registered = false;
};

// Everything known about the 33 device slots between exchanges. Slot arguments are checked:
// an out-of-range slot is refused (false) and nothing is touched.
class DeviceTable {
 public:
  std::array<DeviceEntry, kSlotCount> entries;
  std::array<int16_t, kSlotCount> device_type{};
  std::array<QString, kSlotCount> device_name;
  std::array<bool, kSlotCount> device_needs_read{};
  std::array<int16_t, kSlotCount> device_data_valid{};
  std::array<int16_t, kSlotCount> device_row{};
  std::array<QString, kSlotCount> firmware_version;
  std::array<QString, kSlotCount> second_version;

  DeviceTable();

  DeviceEntry& operator[](int slot) { return entries.at(static_cast<size_t>(slot)); }
  const DeviceEntry& operator[](int slot) const { return entries.at(static_cast<size_t>(slot)); }

  bool ResetSlot(int slot);
  void ResetAll();

  struct Found {
    int16_t link_kind = kLinkUsb;
    QString ip_address;
    int16_t device_id = 0;
    int16_t device_type = 0;
    QString device_name;
  };
  bool Register(int slot, const Found& found);

  // Marks the slot off-line; the caller updates the device list row.
  bool GoOffline(int slot);

  // Demo slots are registered but never on-line, so nothing is ever sent to them. Returns the
  // slots filled.
  std::array<bool, kSlotCount> DemoSetup(int16_t connection_mode, bool several_addresses,
                                         int16_t demo_type);

  // "IP:<address> - <model> - Off-line" or "USB - <model> - Off-line".
  QString OfflineRowText(int slot, int16_t connection_mode) const;
};

}  // namespace tessaly::comm
