#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <vector>

#include "device/Slots.h"
#include "device/Transmitter.h"

namespace tessaly::test {

// The exchange layer's place where only the packets handed over matter: keeps each one and
// answers every packet with `result`. Device behaviour is the emulator's business, not this.
class RecordingTransmitter : public device::Transmitter {
 public:
  struct Packet {
    int slot = 0;
    uint8_t command = 0;
    device::Params params{};
    bool operator==(const Packet&) const = default;
  };

  int16_t Transmit(int slot, uint8_t command, const device::Params& params) override {
    sent.push_back({slot, command, params});
    return result;
  }
  int DeviceType(int slot) const override { return types.at(static_cast<size_t>(slot)); }
  int CurrentSlot() const override { return current_slot; }
  bool Holds(int) const override { return false; }
  bool Busy() const override { return false; }

  std::array<int, device::kSlotCount> types{};
  int current_slot = 0;
  int16_t result = 0;
  std::vector<Packet> sent;
};

// "slot 4 cmd 05 [02 05 00 02 0C 4E 28 32]" in failure messages.
inline void PrintTo(const RecordingTransmitter::Packet& p, std::ostream* os) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", p.command);
  *os << "slot " << p.slot << " cmd " << text << " [";
  for (size_t i = 0; i < p.params.size(); ++i) {
    std::snprintf(text, sizeof text, i ? " %02X" : "%02X", p.params[i]);
    *os << text;
  }
  *os << "]";
}

}  // namespace tessaly::test
