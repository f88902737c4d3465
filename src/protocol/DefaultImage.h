#pragma once

#include <QByteArray>

namespace tessaly::protocol {

inline constexpr int kImageSizeA = 352;
inline constexpr int kImageSizeB = 512;
inline constexpr int kTailSize = 850;

// The factory program image of a device type (352 bytes for family A, 512 for family B), built
// once and shared. Also what a fresh emulated device holds.
const QByteArray& DefaultImage(int device_type);

}  // namespace tessaly::protocol
