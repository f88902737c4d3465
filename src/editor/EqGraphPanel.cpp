#include "editor/EqGraphPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "editor/EditorSupport.h"
#include "graph/GraphScale.h"
#include "graph/MeasurementBook.h"
#include "graph/ui/GraphPainter.h"
#include "graph/ui/MeasurementPainter.h"
#include "model/EditPath.h"
#include "protocol/ValueScale.h"
#include "widgets/UiScale.h"

namespace tessaly::editor {
namespace {

constexpr double kHitRadius = 9.0;
constexpr int kMarkerRadius = 5;
constexpr int kWheelNotch = 120;

// Whether an edit of the parameter moves a curve.
bool MovesCurve(model::ParamId id) {
  return model::Param(id).op.curves != model::CurveEffect::kNone;
}

}  // namespace

EqGraphPanel::EqGraphPanel(EditorContext& context, int channel, QWidget* parent)
    : QWidget(parent), context_(context), channel_(channel) {
  setObjectName(QStringLiteral("eqGraphPanel"));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(320, 110);
  const protocol::Layout& layout = protocol::LayoutOf(protocol::FamilyOf(DeviceTypeOf(context)));
  first_band_ = layout.GlobalBand(channel, 0).value_or(0);
  markers_.resize(static_cast<size_t>(std::max(0, layout.BandCount(channel))));
  connect(&context_.edits, &model::EditPath::parameterChanged, this,
          &EqGraphPanel::OnParameterChanged);
  connect(&context_.edits, &model::EditPath::programReplaced, this, [this](int slot) {
    if (slot == context_.slot) Reload();
  });
  connect(&graph::Measurements(), &graph::MeasurementBook::changed, this, [this](int slot, int ch) {
    if (slot == context_.slot && (ch == channel_ || ch < 0)) update();
  });
  Reload();
}

QSize EqGraphPanel::sizeHint() const { return {640, 260}; }

QRect EqGraphPanel::PlotRect() const {
  return rect().marginsRemoved(graph::LabelMargins(fontMetrics().height()));
}

int EqGraphPanel::GlobalBand(int band) const { return first_band_ + band; }

void EqGraphPanel::OnParameterChanged(int slot, int channel, model::ParamId id, int) {
  if (slot == context_.slot && channel == channel_ && MovesCurve(id)) Reload();
}

void EqGraphPanel::Reload() {
  const graph::ResponseCurves& curves = context_.edits.curves();
  for (size_t b = 0; b < markers_.size(); ++b) {
    const auto input = curves.BandInputOf(context_.slot, GlobalBand(static_cast<int>(b)));
    if (!input) continue;
    const QRect before = MarkerRect(static_cast<int>(b));
    markers_[b] = {input->f0, input->gain_db, input->bypassed};
    update(before);
    update(MarkerRect(static_cast<int>(b)));
  }
  // The read-out of the last moved marker follows its band (a new type resets the gain).
  if (read_out_band_ >= 0 && read_out_band_ < static_cast<int>(markers_.size()) && drag_band_ < 0) {
    const Marker& m = markers_[static_cast<size_t>(read_out_band_)];
    emit readOut(graph::MarkerText(static_cast<int>(std::lround(m.hz)), m.gain_db));
  }
  graph::Curve stored{};
  for (int p = 0; p < graph::kGraphPoints; ++p) {
    stored[p] = curves.ChannelValue(context_.slot, channel_, p).value_or(0.0);
  }
  ShowCurve(stored);
}

void EqGraphPanel::ShowCurve(const graph::Curve& curve) {
  const auto span = graph::ChangedSpan(shown_, curve);
  if (!span) return;
  const QRectF plot = PlotRect();
  // The old and the new line between the points either side of the change.
  const int first = std::max(0, span->first - 1);
  const int last = std::min(graph::kGraphPoints - 1, span->last + 1);
  QRectF dirty = graph::CurvePolygon(shown_, plot, first, last).boundingRect();
  shown_ = curve;
  line_ = graph::CurvePolygon(shown_, plot);
  dirty |= graph::CurvePolygon(shown_, plot, first, last).boundingRect();
  // The predicted response of a measurement moves with the curve, wherever it is drawn.
  if (!graph::Measurements().Of(context_.slot, channel_).items.empty()) {
    update();
    return;
  }
  const int pen = graph::kCurveDrawWidth + 2;
  update(dirty.toAlignedRect().adjusted(-pen, -pen, pen, pen) & plot.toAlignedRect());
}

void EqGraphPanel::Relayout() {
  line_ = graph::CurvePolygon(shown_, PlotRect());
  update();
}

void EqGraphPanel::resizeEvent(QResizeEvent*) { Relayout(); }

std::vector<graph::MarkerPoint> EqGraphPanel::MarkerPoints() const {
  const QRect plot = PlotRect();
  std::vector<graph::MarkerPoint> points;
  for (size_t b = 0; b < markers_.size(); ++b) {
    double hz = markers_[b].hz;
    double gain = markers_[b].gain_db;
    if (static_cast<int>(b) == drag_band_ && drag_value_) {
      hz = drag_value_->hz;
      gain = drag_value_->gain_db;
    }
    const graph::MarkerPoint p = graph::MarkerPosition(hz, gain, plot.width(), plot.height());
    points.push_back({plot.left() + p.x, plot.top() + p.y});
  }
  return points;
}

QPoint EqGraphPanel::MarkerCentre(int band) const {
  const auto points = MarkerPoints();
  if (band < 0 || band >= static_cast<int>(points.size())) return {};
  return QPointF(points[band].x, points[band].y).toPoint();
}

QRect EqGraphPanel::MarkerRect(int band) const {
  const QPoint c = MarkerCentre(band);
  // Room for the marker, its outline and the band number above it.
  const int r = kMarkerRadius + 3;
  return QRect(c.x() - r - 8, c.y() - r - fontMetrics().height(), 2 * r + 16,
               2 * r + fontMetrics().height() + 2);
}

int EqGraphPanel::BandAt(QPointF at) const {
  const auto points = MarkerPoints();
  return graph::HitMarker(points, {at.x(), at.y()}, kHitRadius * widgets::UiScale());
}

void EqGraphPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const QRect plot = PlotRect();
  graph::PaintGrid(painter, plot);
  const QColor colour = ChannelColor(context_, channel_);
  graph::PaintMeasurements(painter, plot, graph::Measurements().Of(context_.slot, channel_), shown_,
                           colour);
  graph::PaintCurve(painter, plot, line_, colour);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setClipRect(plot.adjusted(-kMarkerRadius, -kMarkerRadius, kMarkerRadius, kMarkerRadius));
  const auto points = MarkerPoints();
  for (size_t b = 0; b < points.size(); ++b) {
    const bool active = static_cast<int>(b) == drag_band_ || static_cast<int>(b) == hover_band_;
    QColor fill = markers_[b].bypassed ? QColor(110, 110, 110) : colour;
    if (!active) fill.setAlpha(190);
    painter.setPen(QPen(active ? Qt::white : QColor(20, 20, 20), active ? 2 : 1));
    painter.setBrush(fill);
    const QPointF c(points[b].x, points[b].y);
    painter.drawEllipse(c, kMarkerRadius, kMarkerRadius);
    painter.setPen(QColor(220, 220, 220));
    painter.drawText(QRectF(c.x() - 10, c.y() - kMarkerRadius - fontMetrics().height(), 20,
                            fontMetrics().height()),
                     Qt::AlignCenter, QString::number(b + 1));
  }
}

void EqGraphPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int band = BandAt(event->position());
  if (band < 0) {
    if (cursor_shown_) mouseMoveEvent(event);
    return;
  }
  drag_band_ = band;
  read_out_band_ = band;
  drag_value_ =
      graph::MarkerValue{static_cast<int>(std::lround(markers_[band].hz)), markers_[band].gain_db};
  emit readOut(graph::MarkerText(drag_value_->hz, drag_value_->gain_db));
  update(MarkerRect(band));
}

void EqGraphPanel::mouseMoveEvent(QMouseEvent* event) {
  const QRect plot = PlotRect();
  if (drag_band_ < 0) {
    const int hover = BandAt(event->position());
    if (hover != hover_band_) {
      update(MarkerRect(hover_band_));
      hover_band_ = hover;
      update(MarkerRect(hover_band_));
    }
    if (cursor_shown_) {
      read_out_band_ = -1;
      const QPointF at = event->position() - plot.topLeft();
      emit readOut(
          graph::CursorText(graph::ReadCursor(at.x(), at.y(), plot.width(), plot.height())));
    }
    return;
  }
  const QPointF at = event->position() - plot.topLeft();
  const graph::MarkerValue value = graph::MarkerAt(at.x(), at.y(), plot.width(), plot.height());
  if (drag_value_ && value == *drag_value_) return;
  update(MarkerRect(drag_band_));
  drag_value_ = value;
  update(MarkerRect(drag_band_));
  emit readOut(graph::MarkerText(value.hz, value.gain_db));
  emit markerMoved(drag_band_, value);
  const graph::ResponseCurves& curves = context_.edits.curves();
  auto input = curves.BandInputOf(context_.slot, GlobalBand(drag_band_));
  if (!input) return;
  input->f0 = value.hz;
  input->gain_db = graph::EqGainOfSliderPosition(graph::EqGainSliderPosition(value.gain_db));
  graph::Curve preview;
  if (curves.PreviewBand(context_.slot, GlobalBand(drag_band_), *input, preview)) {
    ShowCurve(preview);
  }
}

void EqGraphPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || drag_band_ < 0) return;
  const int band = drag_band_;
  const std::optional<graph::MarkerValue> value = drag_value_;
  drag_band_ = -1;
  drag_value_.reset();
  if (!value) return;
  // The device takes whole hertz on its frequency scale and gain in half-dB steps.
  const model::EditTarget freq = Target(context_, model::ParamId::kEqFrequency, channel_, band);
  const model::EditTarget gain = Target(context_, model::ParamId::kEqGain, channel_, band);
  const int gain_byte = model::EqGainIndexOf(value->gain_db);
  const bool freq_moved = context_.edits.Index(freq) != value->hz;
  const bool gain_moved = context_.edits.Index(gain) != gain_byte;
  if (freq_moved || gain_moved) {
    // The band goes out once, with both values: the device never runs a half-moved band.
    std::vector<model::FieldIndex> fields;
    if (freq_moved) {
      const model::ParseResult hz = context_.edits.Parse(freq, QString::number(value->hz));
      if (hz.ok()) fields.push_back({freq, *hz.index});
    }
    if (gain_moved) fields.push_back({gain, gain_byte});
    context_.edits.BeginGesture(context_.slot, QStringLiteral("EQ Band %1").arg(band + 1));
    if (!fields.empty()) context_.edits.SetIndexes(fields);
    context_.edits.EndGesture(context_.slot);
  }
  // Whatever the device took is what the picture shows now.
  Reload();
  update(MarkerRect(band));
}

void EqGraphPanel::wheelEvent(QWheelEvent* event) {
  const int band = BandAt(event->position());
  if (band < 0 || drag_band_ >= 0) {
    event->ignore();
    return;
  }
  const int notches = event->angleDelta().y() / kWheelNotch;
  if (notches == 0) return;
  context_.edits.StepIndex(Target(context_, model::ParamId::kEqQ, channel_, band), notches);
  event->accept();
}

void EqGraphPanel::SetCursorShown(bool shown) {
  cursor_shown_ = shown;
  read_out_band_ = -1;
  if (!shown) emit readOut(QString());
}

}  // namespace tessaly::editor
