#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace tessaly::sim {

enum class SimProgramme { kMusic, kTone, kSilence };

// What an emulated device's meters play.
struct SimMeterConfig {
  SimProgramme programme = SimProgramme::kMusic;
  uint32_t seed = 1;
  double clip_dbv = 11.0;  // a level above this at any meter point sets the channel's clip bit
};

// "music", "tone" or "silence"; false for anything else.
bool ParseProgramme(const QString& text, SimProgramme* programme);

// The levels a device would measure while a programme plays: one step per meter request, so a
// seed gives the same sequence every run. The levels follow each channel's gain, mute, input
// compressor and output limiter as the program image holds them; standby silences everything.
class SimMeters {
 public:
  explicit SimMeters(const SimMeterConfig& config = {});

  void Configure(const SimMeterConfig& config);
  // The bytes between the reply's header and its end marker for the next step.
  QByteArray NextPayload(int type, const QByteArray& image, const QByteArray& settings);

 private:
  double Random();  // 0 <= x < 1
  double SourceDbv(int input);

  SimMeterConfig config_;
  uint64_t state_ = 0;
  uint32_t step_ = 0;
  int quiet_steps_ = 0;
};

}  // namespace tessaly::sim
