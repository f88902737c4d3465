#include <gtest/gtest.h>

#include <functional>

#include "protocol/DefaultImage.h"
#include "protocol/MeterReading.h"
#include "protocol/Offsets.h"
#include "sim/SimLayout.h"
#include "sim/SimMeters.h"

namespace tessaly::sim {
namespace {

namespace fa = protocol::family_a;
namespace fb = protocol::family_b;

// The emulated levels read back through the editor's own decoder.
struct Playing {
  int type;
  SimMeterConfig config{};
  QByteArray image = protocol::DefaultImage(type);
  QByteArray settings = QByteArray(kSettingsSize, '\0');
  SimMeters meters{config};

  protocol::MeterReading Next() {
    const int size = protocol::MeterReplySize(type);
    QByteArray reply(size, '\0');
    reply[3] = 57;
    reply[size - 1] = char(0xF7);
    reply.replace(4, size - 5, meters.NextPayload(type, image, settings));
    const auto* bytes = reinterpret_cast<const uint8_t*>(reply.constData());
    return *protocol::DecodeMeterReply(std::span(bytes, static_cast<size_t>(size)), type);
  }
};

TEST(SimMeters, SameSeedSameLevelsOtherSeedOthers) {
  Playing a{3, {.seed = 7}};
  Playing b{3, {.seed = 7}};
  Playing c{3, {.seed = 8}};
  int differ = 0;
  for (int step = 0; step < 100; ++step) {
    const auto ra = a.Next();
    EXPECT_EQ(ra.channels[0].level_db, b.Next().channels[0].level_db);
    differ += ra.channels[0].level_db != c.Next().channels[0].level_db;
  }
  EXPECT_GT(differ, 50);
}

// Each row changes the device, then every step must satisfy the check.
struct Case {
  const char* name;
  int type;
  SimMeterConfig config;
  std::function<void(Playing&)> set_up;
  std::function<bool(const protocol::MeterReading&)> holds;
};

TEST(SimMeters, LevelsFollowTheDevice) {
  const auto level = [](const protocol::MeterReading& r, int c, int p) {
    return r.channels[static_cast<size_t>(c)].level_db[static_cast<size_t>(p)];
  };
  const std::vector<Case> cases = {
      {"a mute silences after the gain",
       0,
       {},
       [](Playing& r) { r.image[fa::kMuteMask] = 0x01; },
       [&](const auto& m) { return level(m, 0, 1) == -60 && level(m, 0, 2) == -60; }},
      {"gain moves the level after it",
       3,
       {.programme = SimProgramme::kTone},
       [](Playing& r) { r.image[fb::kGainOffset[2]] = 100; },  // -10 dB
       [&](const auto& m) { return std::abs(level(m, 2, 1) - level(m, 2, 0) + 10) < 0.7; }},
      {"a low limiter threshold limits",
       0,
       {.programme = SimProgramme::kTone},
       [](Playing& r) { r.image[fa::kDynOffset[3]] = 40; },  // -10 dBV
       [&](const auto& m) {
         const auto& right = m.channels[3];
         return right.limit && std::abs(level(m, 3, 2) + 10) < 0.7 &&
                std::abs(*right.gain_reduction_db - (level(m, 3, 2) - level(m, 3, 1))) < 0.7 &&
                !m.channels[2].limit;
       }},
      {"clips above the clip level",
       3,
       {.programme = SimProgramme::kTone, .clip_dbv = -5},
       [](Playing&) {},
       // Only the first five channels have clip bits; the sixth and seventh show none.
       [](const auto& m) {
         return m.channels[0].clip && m.channels[4].clip && !m.channels[6].clip;
       }},
      {"standby silences and says so",
       3,
       {},
       [](Playing& r) { r.settings[kStandbyAddress] = 1; },
       [&](const auto& m) { return m.standby && !m.sleep && level(m, 0, 0) == -60; }},
  };
  for (const Case& c : cases) {
    Playing run{c.type, c.config};
    c.set_up(run);
    for (int step = 0; step < 60; ++step) ASSERT_TRUE(c.holds(run.Next())) << c.name << " " << step;
  }
}

TEST(SimMeters, MusicClipsNowAndThenAndPausesIntoSleep) {
  Playing run{0, {.seed = 3}};
  run.settings[kSleepModeAddress] = 1;
  int clipped = 0;
  int slept = 0;
  for (int step = 0; step < 540; ++step) {
    const auto m = run.Next();
    for (const auto& channel : m.Channels()) clipped += channel.clip;
    slept += m.sleep;
    EXPECT_FALSE(m.standby);
  }
  EXPECT_GT(clipped, 0) << clipped;
  EXPECT_LT(clipped, 100) << clipped;
  EXPECT_EQ(slept, 40 - 25 + 1);  // the pause between songs, once it has lasted two seconds
}

}  // namespace
}  // namespace tessaly::sim
