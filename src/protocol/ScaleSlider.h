#pragma once

namespace tessaly::protocol {

// The editors' sliders are mounted upside down: they report positions 1 to N from top to
// bottom, and the stored byte is N - position, so the top is the largest byte. Out-of-range
// inputs are clamped onto the slider (a knob dragged past its track end stops there).
int ByteFromSliderPosition(int position, int count);
int SliderPositionFromByte(int byte, int count);

}  // namespace tessaly::protocol
