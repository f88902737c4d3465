#pragma once

#include <array>

namespace tessaly::protocol {

// Shown value of every byte of the arithmetic scales, index = byte. Each value is one exact
// division of two integers so that it prints without binary noise ("-17.8", not "-17.799...").

namespace detail {
template <int kCount, int kOffset, int kMultiplier, int kDivisor>
constexpr std::array<double, kCount> LinearGrid() {
  std::array<double, kCount> grid{};
  for (int k = 0; k < kCount; ++k) {
    grid[k] = static_cast<double>((k + kOffset) * kMultiplier) / kDivisor;
  }
  return grid;
}
}  // namespace detail

// Channel gain: b/2 - 60 dB, -60 to +12 in 0.5 dB.
inline constexpr auto kGainGrid = detail::LinearGrid<145, -120, 1, 2>();
// EQ band gain: b/2 - 15 dB, -15 to +15 in 0.5 dB.
inline constexpr auto kEqGainGrid = detail::LinearGrid<61, -30, 1, 2>();
// Gate threshold: -90 + 5b dB, -90 to -60.
inline constexpr auto kGateThresholdGrid = detail::LinearGrid<7, -18, 5, 1>();
// Compressor and limiter threshold: b/5 - 18 dB, -18 to +12 in 0.2 dB.
inline constexpr auto kThresholdGrid = detail::LinearGrid<151, -90, 1, 5>();
// Compressor ratio (b + 2):1, 2 to 32.
inline constexpr auto kRatioGrid = detail::LinearGrid<31, 2, 1, 1>();
// Compressor knee, 0 to 100 %.
inline constexpr auto kKneeGrid = detail::LinearGrid<101, 0, 1, 1>();
// Compressor makeup: b/2 dB, 0 to 12 in 0.5 dB.
inline constexpr auto kMakeupGrid = detail::LinearGrid<25, 0, 1, 2>();
// Noise generator level: b - 40 dB, -40 to 0.
inline constexpr auto kNoiseLevelGrid = detail::LinearGrid<41, -40, 1, 1>();
// Family B mixer send and input routing level: b - 30 dB, -30 to 0.
inline constexpr auto kSendLevelGrid = detail::LinearGrid<31, -30, 1, 1>();
// Q of the shelving, high-pass and low-pass bands: 0.1 + 0.05b, 0.1 to 5.1.
inline constexpr auto kOtherQGrid = detail::LinearGrid<101, 2, 1, 20>();
// Q of a "Notch" band: b + 4, 4 to 104.
inline constexpr auto kNotchQGrid = detail::LinearGrid<101, 4, 1, 1>();

}  // namespace tessaly::protocol
