#include "protocol/DefaultImage.h"

#include <array>
#include <cstdint>

#include "device/DeviceTypes.h"
#include "protocol/Offsets.h"

namespace tessaly::protocol {
namespace {

constexpr uint8_t kDefaultGain = 120;     // 0 dB
constexpr uint8_t kDefaultBandQ = 9;      // Q 0.67
constexpr uint8_t kDefaultBandGain = 30;  // 0 dB
constexpr uint16_t kDefaultHighPassHz = 20;
constexpr uint16_t kDefaultLowPassHz = 20000;
constexpr std::array<uint16_t, kInputBands> kInputBandHz{40,   80,   100,  200,   400,   800,
                                                         1000, 2000, 4000, 10000, 12000, 16000};
constexpr std::array<uint16_t, kOutputBands> kOutputBandHz{125, 250, 1000, 4000, 8000};
// Gate bypassed, -80 dB, 300 ms release, 7 ms attack.
constexpr std::array<uint8_t, kGateBytes> kDefaultGate{1, 2, 5, 6};
// Threshold 12 dB, 22:1, hard knee, 1.1 s release, 5 ms attack, no makeup.
constexpr std::array<uint8_t, kCompressorBytes> kDefaultCompressor{150, 20, 0, 10, 0, 0};
// Threshold 12 dB, 2.1 s release, 1 ms attack.
constexpr std::array<uint8_t, kLimiterBytes> kDefaultLimiter{150, 20, 0};
// Family B output mixers: "Left" takes In1L and "Right" In1R at 0 dB, "Sub" both at -6 dB.
constexpr std::array<std::array<uint8_t, kMixerSends>, kOutputCount> kDefaultMixers{{
    {158, 30, 30, 30},
    {30, 158, 30, 30},
    {152, 152, 30, 30},
}};
constexpr uint8_t kAllOutputs70V = 21;
constexpr char kDefaultName[] = "Default         ";

void Put(QByteArray& image, int offset, uint8_t value) { image[offset] = static_cast<char>(value); }

void Put16(QByteArray& image, int offset, uint16_t value) {
  Put(image, offset, static_cast<uint8_t>(value >> 8));
  Put(image, offset + 1, static_cast<uint8_t>(value & 0xFF));
}

template <size_t N>
void PutAll(QByteArray& image, int offset, const std::array<uint8_t, N>& bytes) {
  for (size_t i = 0; i < N; ++i) Put(image, offset + static_cast<int>(i), bytes[i]);
}

QByteArray Build(const Layout& layout) {
  QByteArray image(layout.image_size, '\0');
  for (int ch = 0; ch < layout.channel_count; ++ch) {
    Put(image, layout.gain_offset[ch], kDefaultGain);
    const bool input = layout.IsInput(ch);
    for (int k = 0; k < layout.BandCount(ch); ++k) {
      const int band = layout.eq_band_offset[layout.first_band[ch] + k];
      Put(image, band, 0);
      Put16(image, band + 1, input ? kInputBandHz[k] : kOutputBandHz[k]);
      Put(image, band + 3, kDefaultBandQ);
      Put(image, band + 4, kDefaultBandGain);
    }
    if (input) {
      PutAll(image, layout.gate_offset[ch], kDefaultGate);
      PutAll(image, layout.comp_offset[ch], kDefaultCompressor);
      continue;
    }
    const int output = ch - layout.first_output;
    PutAll(image, layout.dyn_offset[ch], kDefaultLimiter);
    const int high_pass = layout.xover_offset[output * 2 + kFilterHighPass];
    const int low_pass = layout.xover_offset[output * 2 + kFilterLowPass];
    Put16(image, high_pass, kDefaultHighPassHz);
    Put16(image, low_pass, kDefaultLowPassHz);
    if (layout.family == Family::kA) {
      Put(image, layout.route_offset[output], static_cast<uint8_t>(output));
    } else {
      PutAll(image, layout.route_offset[output], kDefaultMixers[output]);
    }
  }
  for (int i = 0; i < kNameLength; ++i) Put(image, layout.name + i, kDefaultName[i]);
  const uint8_t all_working = static_cast<uint8_t>((1 << layout.channel_count) - 1);
  Put(image, layout.speaker_drive, kAllOutputs70V);
  Put(image, layout.dynamics_mask, all_working);
  Put(image, layout.eq_mask, all_working);
  return image;
}

}  // namespace

const QByteArray& DefaultImage(int device_type) {
  static const QByteArray kImageA = Build(kLayoutA);
  static const QByteArray kImageB = Build(kLayoutB);
  return device::IsFamilyB(device_type) ? kImageB : kImageA;
}

}  // namespace tessaly::protocol
