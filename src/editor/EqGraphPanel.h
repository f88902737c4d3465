#pragma once

#include <QPolygonF>
#include <QWidget>
#include <optional>
#include <vector>

#include "editor/EditorContext.h"
#include "graph/GraphMarkers.h"
#include "graph/ResponseCurves.h"

namespace tessaly::editor {

// The channel's response on the editor page: grid, the channel's curve in its colour and one
// marker per band. A marker drags the band's frequency (log axis) and gain; while it moves only
// the picture and the band's controls follow, and the release sends the band, snapped, through
// the edit path. The wheel over a marker steps its Q. The curve is repainted from the edit
// path's change notifications, and only where it moved.
class EqGraphPanel : public QWidget {
  Q_OBJECT

 public:
  EqGraphPanel(EditorContext& context, int channel, QWidget* parent = nullptr);

  QRect PlotRect() const;
  // Where the marker of the channel's band (from 0) stands, in widget pixels.
  QPoint MarkerCentre(int band) const;
  // The curve as drawn now (the dragged preview while a marker moves).
  const graph::Curve& ShownCurve() const { return shown_; }
  int dragged_band() const { return drag_band_; }
  // With the cursor on, moving over the plot reads out gain and frequency under the pointer.
  void SetCursorShown(bool shown);
  QSize sizeHint() const override;

 signals:
  // "Freq=…Hz; Gain=…dB" while a marker moves; the cursor read-out with the cursor on.
  void readOut(const QString& text);
  void markerMoved(int band, const graph::MarkerValue& value);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Marker {
    double hz = 1000.0;
    double gain_db = 0.0;
    bool bypassed = false;
  };

  void OnParameterChanged(int slot, int channel, model::ParamId id, int element);
  void Reload();
  void ShowCurve(const graph::Curve& curve);
  void Relayout();
  std::vector<graph::MarkerPoint> MarkerPoints() const;
  QRect MarkerRect(int band) const;
  int BandAt(QPointF at) const;
  int GlobalBand(int band) const;

  EditorContext& context_;
  int channel_;
  int first_band_ = 0;
  std::vector<Marker> markers_;
  graph::Curve shown_{};
  QPolygonF line_;
  int drag_band_ = -1;
  int hover_band_ = -1;
  int read_out_band_ = -1;  // the band the read-out names, -1 for none
  std::optional<graph::MarkerValue> drag_value_;
  bool cursor_shown_ = false;
};

}  // namespace tessaly::editor
