#include "protocol/ScaleSlider.h"

#include <algorithm>

namespace tessaly::protocol {

int ByteFromSliderPosition(int position, int count) {
  if (count < 1) {
    return 0;
  }
  return count - std::clamp(position, 1, count);
}

int SliderPositionFromByte(int byte, int count) {
  if (count < 1) {
    return 1;
  }
  return count - std::clamp(byte, 0, count - 1);
}

}  // namespace tessaly::protocol
