#include "connect/Exchange.h"

namespace tessaly::connect {

bool MaySend(const comm::Comm& comm, int slot) { return !comm.Holds(slot); }

comm::ExchangeResult ReadMemory(comm::Comm& comm, int slot, uint8_t command, int address,
                                uint8_t length) {
  return comm.Exchange(slot, command, comm::AddressParams(address, length));
}

}  // namespace tessaly::connect
