#include "programs/ui/ProgramTools.h"

#include "widgets/FileDialog.h"

namespace tessaly::programs {

QString ChooseFileWithDialog(QWidget* parent, bool save, const QString& folder,
                             const QString& filter) {
  return widgets::AskForFile(parent, save, QString(), folder, filter);
}

}  // namespace tessaly::programs
