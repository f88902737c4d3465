#pragma once

#include <QPalette>

class QApplication;

namespace tessaly::widgets {

enum class ColorScheme { kDark, kLight };

QPalette DarkPalette();
QPalette LightPalette();

// Dark unless the system asks for light; TESSALY_COLOR_SCHEME=light|dark overrides the system.
ColorScheme WantedColorScheme();

// One look for every window: Fusion with the wanted palette, following the system when it changes.
// Call once, before the first window is shown.
void ApplyTheme(QApplication& app);

}  // namespace tessaly::widgets
