#include "connect/ConnectSession.h"

namespace tessaly::connect {

int16_t RunDemoSetup(ConnectContext& context) {
  comm::CommState& state = context.comm.state();
  const auto filled = state.table.DemoSetup(state.connection_mode,
                                            context.session.several_addresses, state.demo_type);
  int16_t last = -1;
  for (int slot = comm::kFirstSlot; slot <= comm::kLastSlot; ++slot) {
    if (!filled[static_cast<size_t>(slot)]) continue;
    context.names.FillFactory(slot, state.table.device_type[static_cast<size_t>(slot)]);
    state.table.device_row[static_cast<size_t>(slot)] = static_cast<int16_t>(slot);
    last = static_cast<int16_t>(slot);
  }
  // The device list shows rows 0..last_slot, demo slots included.
  state.last_slot = last;
  return last;
}

QString NameFromReply(const comm::ExchangeResult& read) {
  return QString::fromLatin1(read.reply().mid(device::kReplyDataStart, 16));
}

}  // namespace tessaly::connect
