#pragma once

#include <QByteArray>
#include <QString>

namespace tessaly::protocol {
class ProgramData;
}

namespace tessaly::programs {

inline constexpr int kPresetMinimumBytes = 10;
// The end of the tail a preset brings along; the rest of the tail stays the PC's own.
inline constexpr int kPresetAppliedTail = 81;
inline constexpr const char* kFileNotFoundTitle = " Error";
inline constexpr const char* kFileNotFoundText = " File not found. Try again.";

enum class PresetStatus {
  kOk,
  kIgnored,      // under ten bytes: nothing happens, no message
  kNotFound,     // " File not found. Try again."
  kOtherFamily,  // the size of the other family's preset: refused, nothing sent
  kOutOfRange,   // a parameter byte beyond its range: refused, nothing sent
};

struct PresetRead {
  PresetStatus status = PresetStatus::kIgnored;
  QByteArray bytes;  // at most the record size of the device's family
  QString message;   // for the refusals: one sentence for the user
};

// Reads a preset for a device of `device_type`, up to its record size.
PresetRead ReadPreset(const QString& path, int device_type);

// Puts what a preset brings into a record: the image and the last 81 tail bytes. The spare byte
// and the first 769 tail bytes stay; so does every byte past the end of a short file, as a short
// file says nothing about them.
void ApplyPreset(const QByteArray& preset, protocol::ProgramData& data);

// The first parameter of the record whose byte lies outside its range, as "<channel> <caption>"
// with the byte; empty when every parameter is within range.
QString FirstBadParameter(const protocol::ProgramData& data, int device_type);

}  // namespace tessaly::programs
