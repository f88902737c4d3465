#include "comm/DeviceTable.h"

#include "device/DeviceTypes.h"

namespace tessaly::comm {

DeviceTable::DeviceTable() { ResetAll(); }

bool DeviceTable::ResetSlot(int slot) {
  if (!IsValidSlot(slot)) return false;
  entries[slot] = DeviceEntry{};
  device_needs_read[slot] = true;
  device_data_valid[slot] = 0;
  return true;
}

void DeviceTable::ResetAll() {
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) ResetSlot(slot);
}

bool DeviceTable::Register(int slot, const Found& found) {
  if (!IsValidSlot(slot)) return false;
  DeviceEntry& entry = entries[slot];
  entry.online = true;
  entry.registered = true;
  entry.editor_open = false;
  entry.link_kind = found.link_kind;
  entry.ip_address = found.ip_address;
  entry.device_id = found.device_id;
  device_type[slot] = found.device_type;
  device_name[slot] = found.device_name;
  return true;
}

bool DeviceTable::GoOffline(int slot) {
  if (!IsValidSlot(slot)) return false;
  entries[slot].online = false;
  device_needs_read[slot] = true;
  device_data_valid[slot] = 0;
  return true;
}

std::array<bool, kSlotCount> DeviceTable::DemoSetup(int16_t connection_mode, bool several_addresses,
                                                    int16_t demo_type) {
  std::array<bool, kSlotCount> filled{};
  auto fill = [&](int slot, int16_t link_kind, const QString& ip, int16_t id, int16_t type) {
    DeviceEntry& entry = entries[slot];
    entry.link_kind = link_kind;
    if (!ip.isEmpty()) entry.ip_address = ip;
    entry.device_id = id;
    device_type[slot] = type;
    entry.online = false;
    entry.registered = true;
    entry.editor_open = false;
    device_name[slot] = device::ModelName(type);
    filled[slot] = true;
  };
  if (connection_mode == kLinkTcp && several_addresses) {
    for (int slot = 0; slot <= 4; ++slot) {
      fill(slot, kLinkTcp, QStringLiteral("192.168.0.%1").arg(slot + 1), static_cast<int16_t>(slot),
           device::kType540S);
    }
  } else if (connection_mode == kLinkTcp) {
    fill(0, kLinkTcp, QStringLiteral("192.168.0.100"), 0, device::kType540S);
  } else {
    fill(0, kLinkUsb, QString(), 0,
         device::IsValidType(demo_type) ? demo_type : device::kTypeRk540);
  }
  return filled;
}

QString DeviceTable::OfflineRowText(int slot, int16_t connection_mode) const {
  if (!IsValidSlot(slot)) return {};
  const QString model = device::ModelName(device_type[slot]);
  if (connection_mode == kLinkTcp) {
    return QStringLiteral("IP:") + entries[slot].ip_address + QStringLiteral(" - ") + model +
           QStringLiteral(" - Off-line");
  }
  return QStringLiteral("USB - ") + model + QStringLiteral(" - Off-line");
}

}  // namespace tessaly::comm
