#include "app/ConnectionSummary.h"

namespace tessaly::app {

namespace {

QString Devices(int count) {
  return QStringLiteral("%1 device%2").arg(count).arg(count == 1 ? "" : "s");
}

}  // namespace

QString ConnectionSummary(const comm::CommState& state) {
  if (!state.online_mode) return QStringLiteral("Off-line");
  const int listed = state.last_slot + 1;
  if (state.comm_suspended) return QStringLiteral("Demo: ") + Devices(listed);
  int online = 0;
  for (int slot = 0; slot < listed && slot < comm::kSlotCount; ++slot) {
    if (state.table[slot].online) ++online;
  }
  const QString link =
      state.connection_mode == comm::kLinkTcp ? QStringLiteral("TCP/IP") : QStringLiteral("USB");
  if (online == listed) return link + QStringLiteral(": ") + Devices(online) + " on-line";
  return link + QStringLiteral(": %1 of ").arg(online) + Devices(listed) + " on-line";
}

}  // namespace tessaly::app
