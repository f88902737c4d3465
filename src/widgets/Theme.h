#pragma once

#include <QPalette>

class QApplication;

namespace tessaly::widgets {

enum class ColorScheme { kDark, kLight };

QPalette DarkPalette();
QPalette LightPalette();

// `colour` mixed towards white (on a dark ground) or black (on a light one) until text in it reads
// on `ground`: the channel colours are chosen for curves, and pure blue vanishes on dark grey.
QColor ReadableOn(const QColor& colour, const QColor& ground);

// Dark unless the system asks for light; TESSALY_COLOR_SCHEME=light|dark overrides the system.
ColorScheme WantedColorScheme();

// One look for every window: Fusion with the wanted palette, following the system when it changes.
// Call once, before the first window is shown.
void ApplyTheme(QApplication& app);

}  // namespace tessaly::widgets
