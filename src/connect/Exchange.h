#pragma once

#include <cstdint>

#include "comm/Comm.h"

namespace tessaly::connect {

// True when the exchange layer would send to the slot now.
bool MaySend(const comm::Comm& comm, int slot);

// Memory read of `length` bytes at a 16-bit settings or parameter address.
comm::ExchangeResult ReadMemory(comm::Comm& comm, int slot, uint8_t command, int address,
                                uint8_t length);

}  // namespace tessaly::connect
