#pragma once

#include <QIcon>

namespace tessaly::app {

// The application's icon, drawn at every size a window manager asks for: a loudspeaker cone with
// a knob's arc around it.
QIcon AppIcon();

}  // namespace tessaly::app
