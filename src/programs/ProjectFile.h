#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace tessaly::programs {

inline constexpr const char* kLoadProjectTitle = " Load Project";
inline constexpr const char* kFileWrongText = " File wrong.";

// One image and spare byte per program slot, as the device's program memory holds them.
using ProjectBuffer = std::vector<QByteArray>;

// The marker of the type, then every slot's record in order.
QByteArray EncodeProject(int device_type, const ProjectBuffer& buffer);

// Refused (false, buffer untouched) when the marker is not the type's, or when the file ends
// before its last record: a project is only ever stored whole.
bool DecodeProject(const QByteArray& file, int device_type, ProjectBuffer& buffer);

// The slot's record of a project whose slot is empty: the family's default image with the
// program-number byte 0xFF. The default image says 0 there, and a project stored back with 0 would
// mark every empty slot as an occupied program.
QByteArray EmptyProjectRecord(int device_type);

}  // namespace tessaly::programs
