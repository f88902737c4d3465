#pragma once

#include <cstdint>

namespace tessaly::device {

// The PC keeps 33 device slots; every slot argument is checked against them.
inline constexpr int kSlotCount = 33;
inline constexpr int kFirstSlot = 0;
inline constexpr int kLastSlot = kSlotCount - 1;

bool IsValidSlot(int slot);

// How a slot's device is reached.
inline constexpr int16_t kLinkUsb = 0;
inline constexpr int16_t kLinkTcp = 1;

}  // namespace tessaly::device
