#include "app/VersionLines.h"

#include "device/DeviceTypes.h"

namespace tessaly::app {

VersionLines VersionLinesFor(const QString& software_version, const comm::CommState& state) {
  VersionLines lines;
  lines.software = software_version;
  const int slot = state.current_device;
  if (!comm::IsValidSlot(slot)) return lines;
  const comm::DeviceTable& table = state.table;
  const bool online = table[slot].online;
  const int type = table.device_type[static_cast<size_t>(slot)];
  if (online) lines.firmware = table.firmware_version[static_cast<size_t>(slot)];
  lines.second_visible = type != device::kTypeRk360 && type != device::kTypeRl4800;
  if (lines.second_visible && online)
    lines.second = table.second_version[static_cast<size_t>(slot)];
  return lines;
}

}  // namespace tessaly::app
