#include "device/Slots.h"

namespace tessaly::device {

bool IsValidSlot(int slot) { return slot >= kFirstSlot && slot <= kLastSlot; }

}  // namespace tessaly::device
