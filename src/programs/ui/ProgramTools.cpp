#include "programs/ui/ProgramTools.h"

#include <QFileDialog>

namespace tessaly::programs {

QString ChooseFileWithDialog(QWidget* parent, bool save, const QString& folder,
                             const QString& filter) {
  return save ? QFileDialog::getSaveFileName(parent, QString(), folder, filter)
              : QFileDialog::getOpenFileName(parent, QString(), folder, filter);
}

}  // namespace tessaly::programs
