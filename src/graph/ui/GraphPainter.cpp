#include "graph/ui/GraphPainter.h"

#include <QPainter>
#include <algorithm>

#include "graph/CurveMath.h"
#include "graph/GraphScale.h"
#include "widgets/Theme.h"

namespace tessaly::graph {
namespace {
constexpr QColor kLabelColour{170, 170, 170};
}  // namespace

QMargins LabelMargins(int font_height) {
  // Left: "+30"; right: the 20 kHz label stands just past the edge; bottom: one line of labels.
  return {font_height * 2, font_height / 2 + 1, font_height * 3 / 2, font_height + 4};
}

void PaintGrid(QPainter& painter, const QRect& plot) {
  painter.save();
  painter.fillRect(plot, kPlotBackground);
  const GridLines grid = GraphGrid(plot.width(), plot.height());
  painter.setPen(QPen(QColor(kGridColour.r, kGridColour.g, kGridColour.b), kGridDrawWidth));
  for (const int x : grid.x) {
    painter.drawLine(plot.left() + x, plot.top(), plot.left() + x, plot.bottom());
  }
  for (const int y : grid.y) {
    const int at = std::min(plot.top() + y, plot.bottom());
    painter.drawLine(plot.left(), at, plot.right(), at);
  }
  painter.setPen(kLabelColour);
  const QFontMetrics metrics = painter.fontMetrics();
  const int h = metrics.height();
  for (const AxisLabel& label : FrequencyLabels(plot.width())) {
    const int x = plot.left() + static_cast<int>(label.position);
    painter.drawText(QRect(x - 3 * h, plot.bottom() + 2, 6 * h, h), Qt::AlignHCenter | Qt::AlignTop,
                     label.text);
  }
  const auto gain_labels = GainLabels(plot.height());
  // On a short picture every other gain label is left out rather than overlapping.
  const double spacing = gain_labels[1].position - gain_labels[0].position;
  const size_t every = spacing < h ? 2 : 1;
  for (size_t i = 0; i < gain_labels.size(); i += every) {
    const AxisLabel& label = gain_labels[i];
    const int y = plot.top() + static_cast<int>(label.position);
    painter.drawText(QRect(plot.left() - 2 * h, y - h / 2, 2 * h - 4, h),
                     Qt::AlignRight | Qt::AlignVCenter, label.text);
  }
  painter.restore();
}

QPolygonF CurvePolygon(const Curve& curve, const QRectF& plot) {
  return CurvePolygon(curve, plot, 0, kGraphPoints - 1);
}

QPolygonF CurvePolygon(const Curve& curve, const QRectF& plot, int first, int last) {
  first = std::clamp(first, 0, kGraphPoints - 1);
  last = std::clamp(last, first, kGraphPoints - 1);
  const GraphFreqTable& freq = GraphFreq();
  QPolygonF line;
  line.reserve(last - first + 1);
  for (int p = first; p <= last; ++p) {
    line << QPointF(plot.left() + CurveX(freq[p], plot.width()),
                    plot.top() + CurveY(curve[p], plot.height()));
  }
  return line;
}

void PaintCurve(QPainter& painter, const QRect& plot, const QPolygonF& line, const QColor& colour) {
  painter.save();
  painter.setClipRect(plot, Qt::IntersectClip);
  painter.setRenderHint(QPainter::Antialiasing, false);
  // Two pixels wide as three one-pixel passes: thin lines take the raster engine's fast path,
  // a wide pen goes through the stroker and costs ten times as much.
  // A colour too dark to read on the plot (pure blue) gets a faint lighter rim; the line itself
  // keeps its colour.
  const QColor readable = widgets::ReadableOn(colour, kPlotBackground);
  if (readable != colour) {
    QColor rim = readable;
    rim.setAlpha(140);
    painter.setPen(QPen(rim, 0));
    for (const QPointF shift : {QPointF(0, -1), QPointF(0, 2), QPointF(-1, 0), QPointF(2, 0)}) {
      painter.drawPolyline(line.translated(shift));
    }
  }
  painter.setPen(QPen(colour, 0));
  for (const QPointF shift : {QPointF(0, 0), QPointF(1, 0), QPointF(0, 1)}) {
    painter.drawPolyline(line.translated(shift));
  }
  painter.restore();
}

}  // namespace tessaly::graph
