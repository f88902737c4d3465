#pragma once

#include <QColor>
#include <QPen>
#include <QPolygonF>
#include <QRect>
#include <vector>

#include "graph/MeasurementBook.h"

class QPainter;

namespace tessaly::graph {

// The curve as polylines in the plot's pixels, broken where the curve has no value (NaN).
std::vector<QPolygonF> GappedPolygons(const Curve& curve, const QRectF& plot);

// The measurement's thin tint of the channel's colour, and the dashed line of its predicted
// result; the legend draws its samples with them too.
QPen MeasuredPen(const QColor& colour);
QPen PredictedPen(const QColor& colour);

// One line per measurement, thin, in a light tint of the channel's colour, and its predicted
// result (measurement plus `response`) dashed in the channel's colour.
void PaintMeasurements(QPainter& painter, const QRect& plot, const ChannelMeasurements& set,
                       const Curve& response, const QColor& colour);

}  // namespace tessaly::graph
