#include "connect/Exchange.h"

namespace tessaly::connect {

bool MaySend(const comm::Comm& comm, int slot) {
  const comm::CommState& state = comm.state();
  if (state.comm_suspended || !state.comm_ready || state.transfer_lock) return false;
  return comm::IsValidSlot(slot) && state.table[slot].online;
}

bool Exchange(comm::Comm& comm, int slot, uint8_t command, const comm::Params& params) {
  if (!MaySend(comm, slot)) return false;
  if (comm.TxCommand(slot, command, params) != 0) return false;
  if (comm.state().connection_mode == comm::kLinkTcp) return comm.tcp().IsConnected(slot);
  return comm.serial().IsOpen();
}

bool ReadMemory(comm::Comm& comm, int slot, uint8_t command, int address, uint8_t length) {
  if (!comm.SplitToBytes(address, 0)) return false;
  const auto& bytes = comm.state().address_bytes;
  return Exchange(comm, slot, command, {bytes[2], bytes[3], length, 0, 0, 0, 0, 0});
}

}  // namespace tessaly::connect
