#pragma once

#include <QPen>
#include <QPolygonF>
#include <QWidget>
#include <vector>

#include "graph/GraphSelection.h"

class QLabel;

namespace tessaly::graph {

// The drawing area of the graph window: grid, curves and legend; with the button down a label
// at the pointer reads gain and frequency.
class GraphPlot : public QWidget {
  Q_OBJECT

 public:
  explicit GraphPlot(QWidget* parent = nullptr);

  void SetCurves(const std::vector<ShownCurve>* curves);
  // Draws the measurements of this slot's channels with their predicted results; -1 none.
  void SetMeasurementSlot(int slot);
  QRect PlotRect() const;
  // One line of the legend: its name and the pen of its sample.
  struct LegendLine {
    QString name;
    QPen pen;
  };
  // Each curve, followed by its channel's measurements and their predicted results.
  std::vector<LegendLine> Legend() const;
  QString read_out() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Rebuild();
  void ReadAt(QPointF at);

  const std::vector<ShownCurve>* curves_ = nullptr;
  std::vector<QPolygonF> lines_;
  QLabel* read_out_ = nullptr;
  bool pressed_ = false;
  int measurement_slot_ = -1;
};

}  // namespace tessaly::graph
