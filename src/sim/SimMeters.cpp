#include "sim/SimMeters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "device/DeviceTypes.h"
#include "protocol/Offsets.h"
#include "sim/SimLayout.h"

namespace tessaly::sim {
namespace {

constexpr double kSilentDbv = -60.0;
constexpr int kPoints = 3;
constexpr int kStandbyBit = 5;
constexpr int kSleepBit = 6;
constexpr int kFlaggedChannels = 5;  // the status bytes have clip and limiter bits for these
constexpr int kStepsToSleep = 25;    // two seconds of silence at the editor's poll rate
constexpr int kSongSteps = 500;      // forty seconds of music ...
constexpr int kPauseSteps = 40;      // ... then a pause between songs
constexpr uint16_t kNoReduction = 32767;

double Byte(const QByteArray& bytes, int at) {
  return at >= 0 && at < bytes.size() ? static_cast<uint8_t>(bytes[at]) : 0;
}

double GainDb(double byte) { return byte / 2.0 - 60.0; }
double ThresholdDb(double byte) { return byte / 5.0 - 18.0; }

// The level byte the device sends for a level: 127 is the type's offset above 0 dBV.
uint8_t LevelByte(double dbv, int type) {
  if (dbv <= kSilentDbv) return 0;
  const double offset = type == device::kTypeRk360 ? 11.1 : 10.6;
  const double byte = 127.0 * std::pow(10.0, (dbv - offset) / 20.0);
  return static_cast<uint8_t>(std::clamp(std::lround(byte), 0L, 255L));
}

uint16_t ReductionWord(double reduction_db) {
  return static_cast<uint16_t>(std::lround(kNoReduction * std::pow(10.0, reduction_db / 20.0)));
}

// Above the threshold the level rises only by 1/ratio; returns the output level.
double Compress(double dbv, double threshold, double ratio) {
  return dbv > threshold ? threshold + (dbv - threshold) / ratio : dbv;
}

double PowerSum(double a, double b) {
  return 10.0 * std::log10(std::pow(10.0, a / 10.0) + std::pow(10.0, b / 10.0));
}

}  // namespace

bool ParseProgramme(const QString& text, SimProgramme* programme) {
  if (text == QLatin1String("music")) {
    *programme = SimProgramme::kMusic;
  } else if (text == QLatin1String("tone")) {
    *programme = SimProgramme::kTone;
  } else if (text == QLatin1String("silence")) {
    *programme = SimProgramme::kSilence;
  } else {
    return false;
  }
  return true;
}

SimMeters::SimMeters(const SimMeterConfig& config) { Configure(config); }

void SimMeters::Configure(const SimMeterConfig& config) {
  config_ = config;
  state_ = 0x9E3779B97F4A7C15ULL ^ config.seed;
  step_ = 0;
  quiet_steps_ = 0;
}

double SimMeters::Random() {
  // xorshift64*: the same numbers on every platform for a seed.
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return static_cast<double>((state_ * 0x2545F4914F6CDD1DULL) >> 11) / 9007199254740992.0;
}

// A song: a slow swell over phrases, a beat every six steps with its decay, some jitter, and now
// and then a hot peak. Each input plays its own phase of it.
double SimMeters::SourceDbv(int input) {
  switch (config_.programme) {
    case SimProgramme::kSilence:
      return kSilentDbv;
    case SimProgramme::kTone:
      return -3.0;
    case SimProgramme::kMusic:
      break;
  }
  if (step_ % (kSongSteps + kPauseSteps) >= kSongSteps) return kSilentDbv;
  const double t = step_ + 17.0 * input;
  const double swell = 5.0 * std::sin(2.0 * std::numbers::pi * t / 160.0);
  const double beat = 6.0 * std::exp(-static_cast<double>((step_ + input) % 6) / 2.0);
  const double jitter = 3.0 * (Random() - 0.5);
  const double peak = Random() < 0.02 ? 10.0 : 0.0;
  return -6.0 + swell + beat + jitter + peak;
}

QByteArray SimMeters::NextPayload(int type, const QByteArray& image, const QByteArray& settings) {
  const bool family_b = device::IsFamilyB(type);
  const int channels = family_b ? protocol::family_b::kChannels : protocol::family_a::kChannels;
  const int inputs = family_b ? protocol::family_b::kInputs : protocol::family_a::kInputs;
  const int mute_mask = static_cast<int>(
      Byte(image, family_b ? protocol::family_b::kMuteMask : protocol::family_a::kMuteMask));
  const auto gain_at = [&](int c) {
    return family_b ? protocol::family_b::kGainOffset[static_cast<size_t>(c)]
                    : protocol::family_a::kGainOffset[static_cast<size_t>(c)];
  };
  const auto dyn_at = [&](int c) {
    return family_b ? protocol::family_b::kDynOffset[static_cast<size_t>(c)]
                    : protocol::family_a::kDynOffset[static_cast<size_t>(c)];
  };
  const bool standby = Byte(settings, kStandbyAddress) != 0;
  ++step_;

  // Inputs: before gain, after gain (and mute), after the compressor. Outputs: after mute, before
  // the limiter, after it. An output plays the sum of the inputs.
  std::array<std::array<double, kPoints>, protocol::kMaxChannels> level{};
  std::array<double, protocol::kMaxChannels> reduction{};
  double mix = kSilentDbv;
  for (int c = 0; c < channels; ++c) {
    const bool muted = ((mute_mask >> c) & 1) != 0;
    const double gain = GainDb(Byte(image, gain_at(c)));
    const double threshold = ThresholdDb(Byte(image, dyn_at(c)));
    // Each output's filters leave it a little hotter or quieter than the next.
    const double source = c < inputs ? SourceDbv(c) : mix + 2.0 * (Random() - 0.5);
    const double after = standby || muted || source <= kSilentDbv ? kSilentDbv : source + gain;
    double out = after;
    if (c < inputs) {
      out = Compress(after, threshold, Byte(image, dyn_at(c) + 1) + 2.0);
      level[c] = {standby ? kSilentDbv : source, after, out};
      mix = out <= kSilentDbv ? mix : (mix <= kSilentDbv ? out : PowerSum(mix, out) - 3.0);
    } else {
      out = std::min(after, threshold);  // a brick-wall limiter
      level[c] = {after, after, out};
    }
    reduction[c] = out - after;
  }

  const bool silent = std::all_of(level.begin(), level.begin() + inputs,
                                  [](const auto& points) { return points[0] <= kSilentDbv; });
  quiet_steps_ = silent ? quiet_steps_ + 1 : 0;
  const bool sleep = Byte(settings, kSleepModeAddress) != 0 && quiet_steps_ >= kStepsToSleep;

  const int words = family_b ? 6 : 5;
  QByteArray payload((family_b ? kMeterReplyB : kMeterReplyA) - 5, '\0');
  uint8_t clips = 0;
  uint8_t limits = 0;
  for (int c = 0; c < channels; ++c) {
    for (int p = 0; p < kPoints; ++p) {
      payload[p * channels + c] = static_cast<char>(LevelByte(level[c][p], type));
      if (c < kFlaggedChannels && level[c][p] > config_.clip_dbv) {
        clips |= static_cast<uint8_t>(1 << c);
      }
    }
    if (c < kFlaggedChannels && reduction[c] < -0.05) limits |= static_cast<uint8_t>(1 << c);
    if (c < words) {
      const uint16_t word = ReductionWord(reduction[c]);
      payload[kPoints * channels + 3 + 2 * c] = static_cast<char>(word >> 8);
      payload[kPoints * channels + 4 + 2 * c] = static_cast<char>(word & 0xFF);
    }
  }
  // Standby and sleep sit beside the clip bits on both families; the third byte is left to the
  // device's diagnostics.
  const uint8_t power =
      static_cast<uint8_t>((standby ? 1 << kStandbyBit : 0) | (sleep ? 1 << kSleepBit : 0));
  const int status = kPoints * channels;
  payload[status] = static_cast<char>(clips | power);
  payload[status + 1] = static_cast<char>(limits);
  payload[status + 2] = 0;
  return payload;
}

}  // namespace tessaly::sim
