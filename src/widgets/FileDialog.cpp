#include "widgets/FileDialog.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

namespace tessaly::widgets {
namespace {

// Column order of the dialog's detail view.
enum Column { kName, kSize, kType, kDate };

}  // namespace

void FitFileDialog(QFileDialog& dialog) {
  const QFontMetrics metrics = dialog.fontMetrics();
  const int em = metrics.horizontalAdvance(QLatin1Char('M'));
  dialog.resize(std::max(dialog.width(), 80 * em),
                std::max(dialog.height(), 28 * metrics.height()));
  auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (details == nullptr) return;
  QHeaderView* header = details->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(kName, QHeaderView::Stretch);
  // The widest text each column can show, with the header's own padding.
  const int pad = 2 * em;
  header->resizeSection(kSize, metrics.horizontalAdvance(QStringLiteral("1023.9 KiB")) + pad);
  header->resizeSection(kType, metrics.horizontalAdvance(QStringLiteral("Folder 54s File")) + pad);
  header->resizeSection(kDate,
                        metrics.horizontalAdvance(QStringLiteral("30 Sep 2026 23:59:59")) + pad);
  for (int c : {kSize, kType, kDate}) header->setSectionResizeMode(c, QHeaderView::Interactive);
}

QString AskForFile(QWidget* parent, bool save, const QString& title, const QString& folder,
                   const QString& filter) {
  QFileDialog dialog(parent, title, folder, filter);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  FitFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace tessaly::widgets
