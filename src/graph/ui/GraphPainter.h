#pragma once

#include <QColor>
#include <QPolygonF>
#include <QRect>

#include "graph/ResponseCurves.h"

class QPainter;

namespace tessaly::graph {

inline constexpr QColor kPlotBackground{40, 40, 40};

// The margins around the plot that hold the axis labels, for a font of `font_height` pixels.
QMargins LabelMargins(int font_height);

// Dark plot area, the grid (RGB(80, 80, 80), width 1) and the axis labels in the margins around
// `plot`. Only what intersects the painter's clip region costs anything.
void PaintGrid(QPainter& painter, const QRect& plot);

// The curve as a polyline through the grid points, in the plot's pixel coordinates.
QPolygonF CurvePolygon(const Curve& curve, const QRectF& plot);
// Points first .. last of the curve (clamped to the grid).
QPolygonF CurvePolygon(const Curve& curve, const QRectF& plot, int first, int last);

// One channel's curve with the curves' draw width; clipped to the plot.
void PaintCurve(QPainter& painter, const QRect& plot, const QPolygonF& line, const QColor& colour);

}  // namespace tessaly::graph
