#pragma once

#include <QString>
#include <array>

namespace tessaly::protocol {

// Lists behind the list-based parameters; the stored byte is the index from 0. Numbers are kept
// as numbers so typed values can be snapped onto them; ValueScale turns them into the shown texts.

inline constexpr std::array<double, 13> GateReleaseList = {10,  25,  50,  100, 200, 300, 400,
                                                           500, 600, 700, 800, 900, 1000};

inline constexpr std::array<double, 29> GateAttackList = {
    1,  2,  3,  4,  5,   6,   7,   8,   9,   10,  15,  20,  30,  40,  50,
    60, 70, 80, 90, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};

// 0.1 to 5.0 s; always shown with one decimal ("1.0", not "1").
inline constexpr std::array<double, 50> LimReleaseList = [] {
  std::array<double, 50> list{};
  for (int k = 0; k < 50; ++k) {
    list[k] = (k + 1) / 10.0;
  }
  return list;
}();

inline constexpr std::array<double, 41> LimAttackList = {
    1,  2,  3,  4,  5,  6,  7,  8,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,  19,  20, 25,
    30, 40, 50, 60, 70, 80, 90, 100, 120, 140, 160, 180, 200, 300, 400, 500, 600, 700, 800, 900};

// 0.1 to 3.0 s.
inline constexpr std::array<double, 30> CompReleaseList = [] {
  std::array<double, 30> list{};
  for (int k = 0; k < 30; ++k) {
    list[k] = (k + 1) / 10.0;
  }
  return list;
}();

inline constexpr std::array<double, 30> CompAttackList = {
    5,  6,  7,  8,  9,  10, 11, 12, 13, 14,  15,  16,  17,  18,  19,
    20, 25, 30, 40, 50, 60, 70, 80, 90, 100, 120, 140, 160, 180, 200};

// Q of a "Bell" band: roughly logarithmic, so the byte steps feel even on the knob.
inline constexpr std::array<double, 101> BellQTable = {
    0.4,  0.42, 0.45, 0.47, 0.5,  0.53, 0.56, 0.59, 0.63, 0.67, 0.71, 0.75, 0.79, 0.84, 0.89,
    0.94, 1,    1.06, 1.12, 1.19, 1.26, 1.3,  1.4,  1.5,  1.6,  1.7,  1.8,  1.9,  2,    2.1,
    2.2,  2.4,  2.5,  2.7,  2.8,  3,    3.2,  3.4,  3.6,  3.8,  4,    4.2,  4.5,  4.8,  5,
    5.3,  5.7,  6,    6.3,  6.7,  7.1,  7.6,  8,    8.5,  9,    9.5,  10.1, 10.7, 11.3, 12,
    12.7, 13.5, 14,   15,   16,   17,   18,   19,   20,   21,   23,   24,   25,   27,   29,
    30,   32,   34,   36,   38,   40,   43,   45,   48,   51,   54,   57,   60,   64,   68,
    72,   76,   81,   85,   91,   96,   102,  108,  114,  121,  128};

// EQ band type byte (0 to 5) and the Q scale class it uses.
inline constexpr int kEqTypeBell = 0;
inline constexpr int kEqTypeNotch = 5;
inline constexpr int kEqTypeCount = 6;
inline constexpr int kQClassBell = 0;
inline constexpr int kQClassOther = 1;
inline constexpr int kQClassNotch = 2;
int QClassOfType(int band_type);

inline constexpr int kXoverSlopeCount = 9;
inline constexpr int kSpeakerDriveCount = 2;
inline constexpr int kOutputSourceCount = 3;
inline constexpr int kChannelCountA = 5;
inline constexpr int kChannelCountB = 7;

// The name the device memory list shows for a slot holding no program (16 characters).
inline constexpr char kProgramEmptyName[] = "Program Empty   ";

// Captions of the fixed lists; an index outside the list gives an empty text.
QString EqTypeName(int band_type);     // "Bell", "HiShQ", ...
QString XoverSlopeName(int slope);     // "Bypass", "- 6 dB/oct BW", ...
QString SpeakerDriveName(int drive);   // 0 "16 Ohm - 100V", 1 "4-8 Ohm - 70V"
QString OutputSourceName(int source);  // family A output source
// unit: the delay display unit, kDelayUnitTime or kDelayUnitMeter (SlotState.h).
QString DelayUnitName(int unit);  // " ms" or " m"
QString DelayCaption(int unit);   // "Delay [ ms ]" or "Delay [ m ]"
QString ChannelName(int device_type, int channel);

}  // namespace tessaly::protocol
