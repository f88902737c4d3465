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

void PaintMeasurements(QPainter& painter, const QRect& plot, const ChannelMeasurements& set,
                       const Curve& response, const QColor& colour) {
  if (set.items.empty()) return;
  painter.save();
  painter.setClipRect(plot, Qt::IntersectClip);
  painter.setRenderHint(QPainter::Antialiasing, true);
  QColor tint = colour.lighter(170);
  tint.setAlpha(200);
  QPen predicted(colour.lighter(130), 1.5, Qt::DashLine);
  for (const LoadedMeasurement& m : set.items) {
    const Curve measured = MeasuredCurve(set, m);
    painter.setPen(QPen(tint, 1.0));
    for (const QPolygonF& line : GappedPolygons(measured, plot)) painter.drawPolyline(line);
    painter.setPen(predicted);
    for (const QPolygonF& line : GappedPolygons(PredictedCurve(measured, response), plot)) {
      painter.drawPolyline(line);
    }
  }
  painter.restore();
}

}  // namespace tessaly::graph
