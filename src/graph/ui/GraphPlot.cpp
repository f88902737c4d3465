#include "graph/ui/GraphPlot.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "graph/ui/GraphPainter.h"
#include "graph/ui/MeasurementPainter.h"
#include "widgets/Theme.h"

namespace tessaly::graph {
namespace {
QColor Colour(const Rgb& rgb) { return {rgb.r, rgb.g, rgb.b}; }
}  // namespace

GraphPlot::GraphPlot(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("graphPlot"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(360, 200);
  read_out_ = new QLabel(this);
  read_out_->setObjectName(QStringLiteral("freqGainLabel"));
  read_out_->setStyleSheet(
      QStringLiteral("background: rgba(20, 20, 20, 200); color: white; padding: 2px;"));
  read_out_->hide();
}

void GraphPlot::SetCurves(const std::vector<ShownCurve>* curves) {
  curves_ = curves;
  Rebuild();
}

void GraphPlot::SetMeasurementSlot(int slot) {
  measurement_slot_ = slot;
  update();
}

QRect GraphPlot::PlotRect() const {
  return rect().marginsRemoved(LabelMargins(fontMetrics().height()));
}

QString GraphPlot::read_out() const {
  return read_out_->isVisible() ? read_out_->text() : QString();
}

void GraphPlot::Rebuild() {
  lines_.clear();
  if (curves_ != nullptr) {
    const QRectF plot = PlotRect();
    for (const ShownCurve& curve : *curves_) lines_.push_back(CurvePolygon(curve.values, plot));
  }
  update();
}

void GraphPlot::resizeEvent(QResizeEvent*) { Rebuild(); }

void GraphPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const QRect plot = PlotRect();
  PaintGrid(painter, plot);
  if (curves_ == nullptr) return;
  for (const ShownCurve& curve : *curves_) {
    if (measurement_slot_ < 0) break;
    PaintMeasurements(painter, plot, Measurements().Of(measurement_slot_, curve.channel),
                      curve.values, Colour(curve.colour));
  }
  for (size_t i = 0; i < lines_.size() && i < curves_->size(); ++i) {
    const ShownCurve& curve = (*curves_)[i];
    QColor colour = Colour(curve.colour);
    // A sum is the same hue, lighter, so it reads as derived from its output.
    if (curve.input >= 0) colour = colour.lighter(150);
    PaintCurve(painter, plot, lines_[i], colour);
  }
  const std::vector<LegendLine> legend = Legend();
  if (legend.empty()) return;
  // Top right, one line per entry with a sample of its line.
  const QFontMetrics metrics = painter.fontMetrics();
  int width = 0;
  for (const LegendLine& entry : legend) {
    width = std::max(width, metrics.horizontalAdvance(entry.name));
  }
  const int line = metrics.height();
  const QRect box(plot.right() - width - 3 * line, plot.top() + 4, width + 2 * line + 8,
                  line * static_cast<int>(legend.size()) + 6);
  const QColor legend_ground(20, 20, 20, 200);
  painter.fillRect(box, legend_ground);
  for (size_t i = 0; i < legend.size(); ++i) {
    const LegendLine& entry = legend[i];
    const int y = box.top() + 3 + line * static_cast<int>(i);
    QPen sample = entry.pen;
    sample.setWidthF(std::max(sample.widthF(), 2.0));
    painter.setPen(sample);
    painter.drawLine(box.left() + 4, y + line / 2, box.left() + 4 + line, y + line / 2);
    // The sample keeps the line's colour; the name must read on the dark box.
    painter.setPen(widgets::ReadableOn(entry.pen.color(), legend_ground));
    painter.drawText(QRect(box.left() + 8 + line, y, width + line, line), Qt::AlignVCenter,
                     entry.name);
  }
}

std::vector<GraphPlot::LegendLine> GraphPlot::Legend() const {
  std::vector<LegendLine> legend;
  if (curves_ == nullptr) return legend;
  for (const ShownCurve& curve : *curves_) {
    const QColor colour = Colour(curve.colour);
    // A sum is the same hue, lighter, so it reads as derived from its output.
    legend.push_back(
        {curve.name, QPen(curve.input >= 0 ? colour.lighter(150) : colour, kCurveDrawWidth)});
    if (measurement_slot_ < 0) continue;
    for (const LoadedMeasurement& m : Measurements().Of(measurement_slot_, curve.channel).items) {
      legend.push_back({m.name, MeasuredPen(colour)});
      legend.push_back({m.name + QStringLiteral(" + EQ"), PredictedPen(colour)});
    }
  }
  return legend;
}

void GraphPlot::ReadAt(QPointF at) {
  const QRect plot = PlotRect();
  const QPointF in = at - plot.topLeft();
  read_out_->setText(CursorText(ReadCursor(in.x(), in.y(), plot.width(), plot.height())));
  read_out_->adjustSize();
  QPoint place = at.toPoint() + QPoint(12, -read_out_->height() - 4);
  place.setX(std::min(place.x(), width() - read_out_->width()));
  place.setY(std::max(place.y(), 0));
  read_out_->move(place);
  read_out_->show();
}

void GraphPlot::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  ReadAt(event->position());
}

void GraphPlot::mouseMoveEvent(QMouseEvent* event) {
  if (pressed_) ReadAt(event->position());
}

void GraphPlot::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = false;
  read_out_->hide();
}

}  // namespace tessaly::graph
