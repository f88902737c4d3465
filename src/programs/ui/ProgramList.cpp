#include "programs/ui/ProgramList.h"

#include "programs/ProgramMemory.h"

namespace tessaly::programs {

void FillProgramList(QListWidget* list, const ProgramNameList& names, int program_count) {
  list->clear();
  for (int p = 0; p < std::min(program_count, kMaxPrograms); ++p) {
    list->addItem(ProgramNumberText(p) + QStringLiteral(": ") +
                  names.program_name[static_cast<size_t>(p)]);
  }
  list->setCurrentRow(0);
}

}  // namespace tessaly::programs
