#include "graph/ui/MeasurementPainter.h"

#include <QPainter>
#include <cmath>

#include "graph/GraphScale.h"

namespace tessaly::graph {

std::vector<QPolygonF> GappedPolygons(const Curve& curve, const QRectF& plot) {
  const GraphFreqTable& freq = GraphFreq();
  std::vector<QPolygonF> lines;
  QPolygonF run;
  for (int p = 0; p < kGraphPoints; ++p) {
    if (!std::isfinite(curve[p])) {
      if (run.size() > 1) lines.push_back(run);
      run.clear();
      continue;
    }
    // Far beyond the plot a level only needs to stay outside it.
    const double db = std::clamp(curve[p], -1000.0, 1000.0);
    run << QPointF(plot.left() + CurveX(freq[p], plot.width()),
                   plot.top() + CurveY(db, plot.height()));
  }
  if (run.size() > 1) lines.push_back(run);
  return lines;
}

QPen MeasuredPen(const QColor& colour) {
  QColor tint = colour.lighter(170);
  tint.setAlpha(200);
  return QPen(tint, 1.0);
}

QPen PredictedPen(const QColor& colour) { return QPen(colour.lighter(130), 1.5, Qt::DashLine); }

void PaintMeasurements(QPainter& painter, const QRect& plot, const ChannelMeasurements& set,
                       const Curve& response, const QColor& colour) {
  if (set.items.empty()) return;
  painter.save();
  painter.setClipRect(plot, Qt::IntersectClip);
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (const LoadedMeasurement& m : set.items) {
    const Curve measured = MeasuredCurve(set, m);
    painter.setPen(MeasuredPen(colour));
    for (const QPolygonF& line : GappedPolygons(measured, plot)) painter.drawPolyline(line);
    painter.setPen(PredictedPen(colour));
    for (const QPolygonF& line : GappedPolygons(PredictedCurve(measured, response), plot)) {
      painter.drawPolyline(line);
    }
  }
  painter.restore();
}

}  // namespace tessaly::graph
