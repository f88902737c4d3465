#include "connect/ConnectSession.h"

namespace tessaly::connect {

int16_t RunDemoSetup(ConnectContext& context) {
  comm::CommState& state = context.comm.state();
  const auto filled =
      state.table.DemoSetup(state.ConnectionMode, context.session.SeveralAddresses, state.DemoType);
  int16_t last = -1;
  for (int slot = comm::kFirstSlot; slot <= comm::kLastSlot; ++slot) {
    if (!filled[static_cast<size_t>(slot)]) continue;
    context.names.FillFactory(slot, state.table.DeviceType[static_cast<size_t>(slot)]);
    state.table.DeviceRow[static_cast<size_t>(slot)] = static_cast<int16_t>(slot);
    last = static_cast<int16_t>(slot);
  }
  // The device list shows rows 0..LastSlot, demo slots included.
  state.LastSlot = last;
  return last;
}

QString NameFromReply(const comm::CommState& state) {
  return QString::fromLatin1(reinterpret_cast<const char*>(state.RxBuffer.data()) + 4, 16);
}

}  // namespace tessaly::connect
