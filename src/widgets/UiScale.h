#pragma once

namespace tessaly::widgets {

// One factor for every custom metric (drag travel, detent, knob size), on top of Qt's own
// device-pixel scaling, so a user can make the controls larger without touching each widget.
double UiScale();
void SetUiScale(double scale);

}  // namespace tessaly::widgets
