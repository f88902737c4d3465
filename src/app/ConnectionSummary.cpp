#include "app/ConnectionSummary.h"

namespace tessaly::app {

namespace {

QString Devices(int count) {
  return QStringLiteral("%1 device%2").arg(count).arg(count == 1 ? "" : "s");
}

}  // namespace

QString ConnectionSummary(const comm::Comm& comm) {
  const comm::CommState& state = comm.state();
  if (!comm.online_mode()) return QStringLiteral("Off-line");
  int listed = 0;
  int online = 0;
  for (int slot = 0; slot < comm::kSlotCount; ++slot) {
    if (!state.table[slot].registered) continue;
    ++listed;
    if (state.table[slot].online) ++online;
  }
  if (comm.suspended()) return QStringLiteral("Demo: ") + Devices(listed);
  const QString link =
      state.connection_mode == comm::kLinkTcp ? QStringLiteral("TCP/IP") : QStringLiteral("USB");
  if (online == listed) return link + QStringLiteral(": ") + Devices(online) + " on-line";
  return link + QStringLiteral(": %1 of ").arg(online) + Devices(listed) + " on-line";
}

}  // namespace tessaly::app
