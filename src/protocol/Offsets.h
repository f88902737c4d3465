#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "protocol/DefaultImage.h"

// Where every parameter sits in a device's program image. Both families share the 80-byte input
// block; family A outputs start at 160, family B outputs at 320 (48 bytes each). Multi-byte
// numbers are big-endian.
namespace tessaly::protocol {

enum class Family { kA, kB };

inline constexpr int kMaxChannels = 7;
inline constexpr int kMaxBands = 63;
inline constexpr int kOutputCount = 3;
inline constexpr int kCrossoverCount = 2 * kOutputCount;
inline constexpr int kInputBands = 12;
inline constexpr int kOutputBands = 5;
inline constexpr int kBandBytes = 5;
inline constexpr int kNameLength = 16;

inline constexpr int kFilterHighPass = 0;
inline constexpr int kFilterLowPass = 1;

inline constexpr int kInputBlockSize = 80;
inline constexpr int kOutputBlockSize = 48;

// Field positions inside an input block (both families).
inline constexpr int kInGateBypass = 0;
inline constexpr int kInGateThreshold = 1;
inline constexpr int kInGateRelease = 2;
inline constexpr int kInGateAttack = 3;
inline constexpr int kInGain = 4;
inline constexpr int kInDelay = 5;       // ms high, ms low, samples
inline constexpr int kInCompressor = 8;  // threshold, ratio, knee, release, attack, makeup
inline constexpr int kInFirstBand = 14;
inline constexpr int kInBandBypass = 74;

// Number of bytes a command carries from each block.
inline constexpr int kGateBytes = 4;
inline constexpr int kCompressorBytes = 6;
inline constexpr int kLimiterBytes = 3;
inline constexpr int kCrossoverBytes = 3;  // frequency high, low, slope
inline constexpr int kMixerSends = 4;

// The record tail mirrors the device's settings memory: tail index n is settings address n.
inline constexpr int kTailStandby = 16;
inline constexpr int kTailSleepMode = 17;
inline constexpr int kTailDelayUnit = 18;  // 0 "Time", 1 "Meter"
inline constexpr int kTailTrigger = 21;    // line-out / trigger byte
inline constexpr int kTailLock = 22;       // front-panel lock, 1 = locked
inline constexpr int kTailPassword = 23;   // 1 = password protected
inline constexpr int kTailKeptFirst = 24;  // 24..29 are kept, not shown
inline constexpr int kTailKeptCount = 6;
inline constexpr int kTailNoiseType = 32;
inline constexpr int kTailNoiseLevel = 33;
inline constexpr int kTailNoiseEnable = 34;  // family B
inline constexpr int kTailDigitalMode = 38;  // family B
inline constexpr int kTailMeterMode = 45;
inline constexpr int kTailMirroring = 47;  // standby mirroring of the trigger output
inline constexpr int kTailRouting = 608;   // family B input routing, 4 bytes per input

namespace family_a {

inline constexpr int kInputs = 2;
inline constexpr int kChannels = 5;
inline constexpr int kFirstOutput = 2;
inline constexpr int kBands = 39;
inline constexpr int kOutputBase = 160;

inline constexpr std::array<int, kInputs> kGateOffset{0, 80};
inline constexpr std::array<int, kChannels> kGainOffset{4, 84, 161, 209, 257};
inline constexpr std::array<int, kChannels> kDelayOffset{5, 85, 162, 210, 258};
inline constexpr std::array<int, kInputs> kCompOffset{8, 88};
inline constexpr std::array<int, kChannels> kDynOffset{8, 88, 165, 213, 261};
inline constexpr std::array<int, kCrossoverCount> kXoverOffset{168, 171, 216, 219, 264, 267};
inline constexpr std::array<int, kOutputCount> kRouteOffset{160, 208, 256};
inline constexpr std::array<int, kChannels> kEqBypassOffset{74, 154, 199, 247, 295};
inline constexpr std::array<int, kChannels> kFirstBand{0, 12, 24, 29, 34};
inline constexpr std::array<int, kChannels> kLastBandNumber{11, 11, 4, 4, 4};
inline constexpr std::array<int, kChannels> kChannelFirstBandOffset{14, 94, 174, 222, 270};

inline constexpr int kName = 320;
inline constexpr int kAnalogMode = 341;
inline constexpr int kDigitalMode = 342;
inline constexpr int kSpeakerDrive = 343;
inline constexpr int kMuteMask = 344;
inline constexpr int kPolarityMask = 345;
inline constexpr int kDynamicsMask = 346;
inline constexpr int kEqMask = 347;
inline constexpr int kInputSource = 348;
inline constexpr int kLineOut = 349;
inline constexpr int kLinkMask = 350;

}  // namespace family_a

namespace family_b {

inline constexpr int kInputs = 4;
inline constexpr int kChannels = 7;
inline constexpr int kFirstOutput = 4;
inline constexpr int kBands = 63;
inline constexpr int kOutputBase = 320;

inline constexpr std::array<int, kInputs> kGateOffset{0, 80, 160, 240};
inline constexpr std::array<int, kChannels> kGainOffset{4, 84, 164, 244, 324, 372, 420};
inline constexpr std::array<int, kChannels> kDelayOffset{5, 85, 165, 245, 325, 373, 421};
inline constexpr std::array<int, kInputs> kCompOffset{8, 88, 168, 248};
inline constexpr std::array<int, kChannels> kDynOffset{8, 88, 168, 248, 328, 376, 424};
inline constexpr std::array<int, kCrossoverCount> kXoverOffset{331, 334, 379, 382, 427, 430};
inline constexpr std::array<int, kOutputCount> kRouteOffset{320, 368, 416};
inline constexpr std::array<int, kChannels> kEqBypassOffset{74, 154, 234, 314, 362, 410, 458};
inline constexpr std::array<int, kChannels> kFirstBand{0, 12, 24, 36, 48, 53, 58};
inline constexpr std::array<int, kChannels> kLastBandNumber{11, 11, 11, 11, 4, 4, 4};
inline constexpr std::array<int, kChannels> kChannelFirstBandOffset{14,  94,  174, 254,
                                                                    337, 385, 433};

inline constexpr int kName = 464;
inline constexpr int kSpeakerDrive = 503;
inline constexpr int kMuteMask = 504;
inline constexpr int kPolarityMask = 505;
inline constexpr int kDynamicsMask = 506;
inline constexpr int kEqMask = 507;
inline constexpr int kLineOut = 509;
inline constexpr int kLinkMask = 510;

}  // namespace family_b

namespace detail {

template <size_t Bands, size_t Channels>
constexpr std::array<int, Bands> BandOffsets(const std::array<int, Channels>& first_offset,
                                             const std::array<int, Channels>& last_band) {
  std::array<int, Bands> out{};
  size_t n = 0;
  for (size_t c = 0; c < Channels; ++c) {
    for (int k = 0; k <= last_band[c]; ++k) out[n++] = first_offset[c] + kBandBytes * k;
  }
  return out;
}

}  // namespace detail

namespace family_a {
inline constexpr std::array<int, kBands> kEqBandOffset =
    detail::BandOffsets<kBands>(kChannelFirstBandOffset, kLastBandNumber);
}
namespace family_b {
inline constexpr std::array<int, kBands> kEqBandOffset =
    detail::BandOffsets<kBands>(kChannelFirstBandOffset, kLastBandNumber);
}

inline constexpr int kNoOffset = -1;

// One family's view of the tables. Fields that a family lacks hold kNoOffset.
struct Layout {
  Family family;
  int image_size;
  int record_size;
  int input_count;
  int channel_count;
  int first_output;
  int band_count;
  int output_base;

  std::span<const int> gate_offset;
  std::span<const int> gain_offset;
  std::span<const int> delay_offset;
  std::span<const int> comp_offset;
  std::span<const int> dyn_offset;
  std::span<const int> xover_offset;
  std::span<const int> route_offset;
  std::span<const int> eq_band_offset;
  std::span<const int> eq_bypass_offset;
  std::span<const int> first_band;
  std::span<const int> last_band_number;

  int name;
  int analog_mode;
  int digital_mode;
  int speaker_drive;
  int mute_mask;
  int polarity_mask;
  int dynamics_mask;
  int eq_mask;
  int input_source;
  int line_out;
  int link_mask;

  bool IsChannel(int ch) const { return ch >= 0 && ch < channel_count; }
  bool IsInput(int ch) const { return ch >= 0 && ch < input_count; }
  bool IsOutput(int ch) const { return ch >= first_output && ch < channel_count; }
  // Number of EQ bands of a channel, 0 for a channel the family does not have.
  int BandCount(int ch) const { return IsChannel(ch) ? last_band_number[ch] + 1 : 0; }
  bool IsBand(int ch, int band) const { return band >= 0 && band < BandCount(ch); }
  // Global band number of band `band` of channel `ch`, nullopt when either is out of range.
  std::optional<int> GlobalBand(int ch, int band) const {
    if (!IsBand(ch, band)) return std::nullopt;
    return first_band[ch] + band;
  }
  // Index into xover_offset of an output's filter (0 high-pass, 1 low-pass).
  std::optional<int> CrossoverIndex(int ch, int filter) const {
    if (!IsOutput(ch) || (filter != kFilterHighPass && filter != kFilterLowPass)) {
      return std::nullopt;
    }
    return (ch - first_output) * 2 + filter;
  }
};

inline constexpr int kRecordSizeA = kImageSizeA + 1 + kTailSize;  // 1203
inline constexpr int kRecordSizeB = kImageSizeB + 1 + kTailSize;  // 1363

inline constexpr Layout kLayoutA{
    Family::kA,
    kImageSizeA,
    kRecordSizeA,
    family_a::kInputs,
    family_a::kChannels,
    family_a::kFirstOutput,
    family_a::kBands,
    family_a::kOutputBase,
    family_a::kGateOffset,
    family_a::kGainOffset,
    family_a::kDelayOffset,
    family_a::kCompOffset,
    family_a::kDynOffset,
    family_a::kXoverOffset,
    family_a::kRouteOffset,
    family_a::kEqBandOffset,
    family_a::kEqBypassOffset,
    family_a::kFirstBand,
    family_a::kLastBandNumber,
    family_a::kName,
    family_a::kAnalogMode,
    family_a::kDigitalMode,
    family_a::kSpeakerDrive,
    family_a::kMuteMask,
    family_a::kPolarityMask,
    family_a::kDynamicsMask,
    family_a::kEqMask,
    family_a::kInputSource,
    family_a::kLineOut,
    family_a::kLinkMask,
};

inline constexpr Layout kLayoutB{
    Family::kB,
    kImageSizeB,
    kRecordSizeB,
    family_b::kInputs,
    family_b::kChannels,
    family_b::kFirstOutput,
    family_b::kBands,
    family_b::kOutputBase,
    family_b::kGateOffset,
    family_b::kGainOffset,
    family_b::kDelayOffset,
    family_b::kCompOffset,
    family_b::kDynOffset,
    family_b::kXoverOffset,
    family_b::kRouteOffset,
    family_b::kEqBandOffset,
    family_b::kEqBypassOffset,
    family_b::kFirstBand,
    family_b::kLastBandNumber,
    family_b::kName,
    kNoOffset,
    kNoOffset,
    family_b::kSpeakerDrive,
    family_b::kMuteMask,
    family_b::kPolarityMask,
    family_b::kDynamicsMask,
    family_b::kEqMask,
    kNoOffset,
    family_b::kLineOut,
    family_b::kLinkMask,
};

inline constexpr const Layout& LayoutOf(Family family) {
  return family == Family::kB ? kLayoutB : kLayoutA;
}
// Type code 3 is family B, every other code family A.
Family FamilyOf(int device_type);
inline const Layout& LayoutOfType(int device_type) { return LayoutOf(FamilyOf(device_type)); }

}  // namespace tessaly::protocol
