#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "device/PacketFormat.h"

namespace tessaly::protocol {
class ProgramData;
}

namespace tessaly::programs {

// One edit packet on the way from what a device holds to what a file holds, as the editor sends
// it, and the parameters it carries ("InR band 3 EQ Gain").
struct PushPacket {
  uint8_t command = 0;
  device::Params params{};
  QStringList parameters;
};

// The edit packets that bring a device holding `device` to `target`, both records of
// `device_type`'s family: one per parameter that differs, except that parameters one command
// carries together (a band's type, frequency, gain and Q; a processor's fields) share one. Empty
// when every parameter agrees. Nothing is sent here.
std::vector<PushPacket> PacketsToReach(const protocol::ProgramData& device,
                                       const protocol::ProgramData& target, int device_type);

// The first parameter the two records hold differently, as "InR band 3 EQ Gain: 0 dB, not -3 dB"
// (the first record's value, then the second's); empty when they agree.
QString FirstDifference(const protocol::ProgramData& held, const protocol::ProgramData& wanted,
                        int device_type);

}  // namespace tessaly::programs
