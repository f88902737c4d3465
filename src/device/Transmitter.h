#pragma once

#include <cstdint>

#include "device/PacketFormat.h"

namespace tessaly::device {

// What the family operations need of the exchange layer: one packet out to a slot, and what the
// PC knows of the slot's device. The exchange layer sends for real; an offline editor sends
// nothing; byte-level tests record.
class Transmitter {
 public:
  virtual ~Transmitter() = default;

  // 0 when the packet went out or the traffic flags held it back; non-zero when it was lost.
  [[nodiscard]] virtual int16_t Transmit(int slot, uint8_t command, const Params& params) = 0;
  // The type code of the slot's device; the caller has checked the slot.
  virtual int DeviceType(int slot) const = 0;
  // The slot the editor works on.
  virtual int CurrentSlot() const = 0;
  // True while the traffic flags or the slot keep every packet to it back: an edit then changes
  // the PC's image only.
  virtual bool Holds(int slot) const = 0;
  // True while the slot's real device is out of reach (it was lost): an edit held back for this
  // reason is one the device still has to get. Held back on purpose (transfer lock, demonstration)
  // is not out of reach.
  virtual bool Unreachable(int /*slot*/) const { return false; }
  // True while an exchange is under way: a control then only updates its display and sends its
  // latest value once the link is free.
  virtual bool Busy() const = 0;
};

}  // namespace tessaly::device
