#include "widgets/FileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>
#include <algorithm>

#include "widgets/FileNames.h"

namespace tessaly::widgets {
namespace {

// Column order of the dialog's detail view.
enum Column { kName, kSize, kType, kDate };

// Asked after the extension is added, so the question names the file that would be replaced.
bool MayReplace(QWidget* parent, const QString& title, const QString& path) {
  const QFileInfo file(path);
  QMessageBox box(QMessageBox::Warning, title.isEmpty() ? QStringLiteral("Save") : title,
                  QStringLiteral("There is already a file named \"%1\" in %2. Saving replaces "
                                 "what it holds.\n\nReplace it?")
                      .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setObjectName(QStringLiteral("replaceQuestion"));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

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
  dialog.setObjectName(QStringLiteral("fileDialog"));
  // The question comes from us, once the name has its extension.
  if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  FitFileDialog(dialog);
  while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    if (!save) return dialog.selectedFiles().front();
    const QString path =
        WithFilterExtension(dialog.selectedFiles().front(), dialog.selectedNameFilter());
    if (!QFileInfo::exists(path) || MayReplace(&dialog, title, path)) return path;
  }
  return {};
}

}  // namespace tessaly::widgets
