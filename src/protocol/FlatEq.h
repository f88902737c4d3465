#pragma once

#include "protocol/Dispatch.h"
#include "protocol/ProgramStore.h"

namespace tessaly::protocol {

// The band gain byte of 0 dB.
inline constexpr uint8_t kFlatBandGain = 30;

// "EQ Flat": brings every band of the channel to 0 dB, band by band with command 5, keeping each
// band's type, frequency, Q and bypass. Stops at the first band that is refused or lost and
// returns that result.
EditResult FlattenEq(FamilyOperations& ops, const ProgramStore& store, int slot, int ch);

}  // namespace tessaly::protocol
