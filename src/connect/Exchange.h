#pragma once

#include <cstdint>

#include "comm/Comm.h"

namespace tessaly::connect {

// TxCommand that says whether a reply really arrived. Before an editor has been opened TxCommand
// does not report a lost reply: it returns 0 and closes the link, so its result alone cannot tell.
bool Exchange(comm::Comm& comm, int slot, uint8_t command, const comm::Params& params = {});

// True when TxCommand would send to the slot now.
bool MaySend(const comm::Comm& comm, int slot);

// Memory read of `length` bytes at a 16-bit settings or parameter address.
bool ReadMemory(comm::Comm& comm, int slot, uint8_t command, int address, uint8_t length);

}  // namespace tessaly::connect
