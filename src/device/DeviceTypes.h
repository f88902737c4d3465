#pragma once

#include <QString>
#include <cstdint>

namespace tessaly::device {

// Per-type tables, indexed by the type code the device reports in reply byte 8 of command 0.
inline constexpr int kTypeCount = 4;
inline constexpr int16_t kTypeRk540 = 0;
inline constexpr int16_t kTypeRk360 = 1;
inline constexpr int16_t kTypeRl4800 = 2;
inline constexpr int16_t kType540S = 3;

bool IsValidType(int type);
// Code 3 is family B; every other code is family A.
bool IsFamilyB(int type);
// Captions keep their leading and trailing blank: device list rows concatenate them as they are.
QString ModelName(int type);
int BaudRate(int type);
uint8_t ProbeCommand(int type);
int LastProgramIndex(int type);
QString PresetFolder(int type);

}  // namespace tessaly::device
