#include "widgets/StatusNote.h"

#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QStatusBar>

namespace tessaly::widgets {
namespace {

QMainWindow* MainWindowOf(const QWidget& from) {
  if (auto* main = qobject_cast<QMainWindow*>(from.window())) return main;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* main = qobject_cast<QMainWindow*>(top)) return main;
  }
  return nullptr;
}

}  // namespace

void ShowStatusNote(const QWidget& from, const QString& text) {
  if (QMainWindow* main = MainWindowOf(from)) main->statusBar()->showMessage(text, kStatusNoteMs);
}

QString SavedNote(const QString& what, const QString& path) {
  return what + QStringLiteral(": ") + QFileInfo(path).fileName();
}

}  // namespace tessaly::widgets
