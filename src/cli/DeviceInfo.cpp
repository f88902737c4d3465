#include "cli/DeviceInfo.h"

#include "device/DeviceTypes.h"

namespace tessaly::cli {

// The device list captions the 540S as an RK-540 variant; a script needs to tell them apart.
QString ModelText(int type) {
  if (type == device::kType540S) return QStringLiteral("540S");
  return device::ModelName(type).trimmed();
}

DeviceInfo InfoOfSlot(Session& session, int slot) {
  const comm::CommState& state = session.state();
  DeviceInfo info;
  info.slot = slot;
  if (state.connection_mode == comm::kLinkTcp) info.address = state.table[slot].ip_address;
  info.type = state.table.device_type[static_cast<size_t>(slot)];
  QString name = state.table.device_name[static_cast<size_t>(slot)];
  while (name.endsWith(QLatin1Char(' '))) name.chop(1);
  info.name = name;
  return info;
}

QString DeviceInfo::Line() const {
  return QStringLiteral("%1\t%2\t%3\t%4\t%5")
      .arg(slot)
      .arg(address.isEmpty() ? QStringLiteral("USB") : address)
      .arg(type)
      .arg(ModelText(type), name);
}

QJsonObject DeviceInfo::Json() const {
  QJsonObject object;
  object[QStringLiteral("slot")] = slot;
  object[QStringLiteral("address")] = address.isEmpty() ? QJsonValue() : QJsonValue(address);
  object[QStringLiteral("type")] = type;
  object[QStringLiteral("model")] = ModelText(type);
  object[QStringLiteral("name")] = name;
  return object;
}

}  // namespace tessaly::cli
