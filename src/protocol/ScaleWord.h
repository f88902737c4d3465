#pragma once

#include <cstdint>

namespace tessaly::protocol {

// 16-bit fields (frequencies, delay milliseconds, band bypass masks) are stored high byte first.
struct WordBytes {
  uint8_t high = 0;
  uint8_t low = 0;
  bool operator==(const WordBytes&) const = default;
};

// Rounds to a whole number and keeps its low 16 bits, as the two low bytes that SplitToBytes
// writes at position + 2 and + 3.
WordBytes SplitWord(double value);
int JoinWord(uint8_t high, uint8_t low);

// A typed EQ or crossover frequency clamped to kMinFrequency .. kMaxFrequency (20 to 20000)
// and rounded to whole hertz.
int FrequencyFromTyped(double hz);

}  // namespace tessaly::protocol
