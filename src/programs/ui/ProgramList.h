#pragma once

#include <QListWidget>

#include "programs/ProgramNames.h"

namespace tessaly::programs {

// "01: name" per program slot of the device, the first selected.
void FillProgramList(QListWidget* list, const ProgramNameList& names, int program_count);

}  // namespace tessaly::programs
