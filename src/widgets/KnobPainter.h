#pragma once

#include <QPalette>
#include <QRectF>
#include <QString>

class QPainter;

namespace tessaly::widgets {

// What a knob looks like at one moment; drawing needs nothing else.
struct KnobLook {
  double fraction = 0.0;          // shown index over the maximum
  double default_fraction = 0.0;  // where the value arc starts, so a bipolar gain grows from 0 dB
  QString readout;                // the value box; empty when it is hidden
  bool hovered = false;
  bool grabbed = false;
  bool focused = false;
  bool enabled = true;
};

// Angle in degrees, counter-clockwise from three o'clock, of a fraction of the 270-degree sweep.
double KnobAngle(double fraction);

void PaintKnob(QPainter& painter, const QRectF& area, const QPalette& palette,
               QPalette::ColorGroup group, const KnobLook& look, double scale);

}  // namespace tessaly::widgets
