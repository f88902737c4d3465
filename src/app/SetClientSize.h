#pragma once

class QWidget;

namespace tessaly::app {

// Gives `window`'s client area the size width x height in pixels by growing or shrinking its frame
// (the window manager's for a top-level window, the sub-window's inside the main window) by the
// same amount. The window keeps its position and stacking order and is not activated. False for a
// null window or a size below 1x1.
bool SetClientSize(QWidget* window, int width, int height);

}  // namespace tessaly::app
