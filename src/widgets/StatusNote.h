#pragma once

#include <QString>

class QWidget;

namespace tessaly::widgets {

// How long a confirmation stays in the main window's status bar.
inline constexpr int kStatusNoteMs = 6000;

// A short confirmation ("Preset saved: venue.54s") in the status bar of the main window that
// holds `from`, or of the application's main window when `from` stands alone. Without a main
// window nothing is shown.
void ShowStatusNote(const QWidget& from, const QString& text);

// "<what>: <file name>", the folder left out.
QString SavedNote(const QString& what, const QString& path);

}  // namespace tessaly::widgets
