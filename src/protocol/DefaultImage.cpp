#include "protocol/DefaultImage.h"

#include "comm/DeviceTypes.h"

namespace tessaly::protocol {

// Filled with the documented defaults by the program record work.
const QByteArray& DefaultImage(int device_type) {
  static const QByteArray kImageA(kImageSizeA, '\0');
  static const QByteArray kImageB(kImageSizeB, '\0');
  return comm::IsFamilyB(device_type) ? kImageB : kImageA;
}

}  // namespace tessaly::protocol
