#pragma once

#include <QByteArray>
#include <optional>

#include "protocol/ProgramData.h"

namespace tessaly::programs {

// The program-number byte of a program image: its last byte, the slot number while the slot
// holds a program.
int ProgramNumberOffset(int device_type);

// `data` with a file's bytes laid over the start of its record; what the file does not reach
// keeps its bytes, as a short file says nothing about them.
protocol::ProgramData WithFileBytes(const protocol::ProgramData& data, const QByteArray& bytes);

// One program slot of a project file as a record of `device_type`; nullopt for an empty slot.
std::optional<protocol::ProgramData> ProjectProgram(int device_type, const QByteArray& record);

}  // namespace tessaly::programs
