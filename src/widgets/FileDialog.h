#pragma once

#include <QString>

class QFileDialog;
class QWidget;

namespace tessaly::widgets {

// Gives Qt's own file dialog (where the platform has none) room for its columns: a size that
// fits a long name with its size, type and date, and columns that fit what they show. A native
// dialog is left as the platform draws it.
void FitFileDialog(QFileDialog& dialog);

// Asks for a file to open or, with `save`, to write: a name without one of the chosen filter's
// extensions gets its first one, and an existing file is replaced only when the user agrees (No
// goes back to the dialog). Empty when cancelled.
QString AskForFile(QWidget* parent, bool save, const QString& title, const QString& folder,
                   const QString& filter);

}  // namespace tessaly::widgets
