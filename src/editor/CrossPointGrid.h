#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "model/ParamId.h"

namespace tessaly::editor {

class SettingBinder;

// What a grid of cross-points shows: each cell is one send with an on switch and a level.
struct CrossPointLayout {
  model::ParamId on_id = model::ParamId::kRouteOn;        // switch parameter
  model::ParamId level_id = model::ParamId::kRouteLevel;  // level parameter
  QStringList rows;                                       // signal comes in from the left...
  QStringList columns;                                    // ...and leaves at the top
  int row_block = 2;                                      // a thick line after this many rows
  int column_block = 2;                                   // and columns
  // The parameter's channel and element of a cell.
  std::function<QPoint(int row, int column)> target;  // x = channel, y = element
  // A cell's full name for tips and read-outs: "ANA 1 L to In 1 L".
  std::function<QString(int row, int column)> cell_name;
  std::function<int(int row)> row_channel;  // colour of a row caption; -1 none
  std::function<int(int column)> column_channel;
  bool family_b = true;
};

// A grid of cross-points. A click toggles a cell, a vertical drag or the wheel moves its level
// (up is louder); arrows move the current cell, Space toggles it, +/- and Page keys step its
// level. Hovering highlights the row and column captions.
class CrossPointGrid : public QWidget {
  Q_OBJECT

 public:
  CrossPointGrid(SettingBinder& binder, CrossPointLayout layout, QWidget* parent = nullptr);

  const CrossPointLayout& layout() const { return layout_; }
  QPoint current() const { return current_; }  // x = column, y = row
  void setCurrent(int row, int column);
  QRect CellRect(int row, int column) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void currentChanged(int row, int column);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QPoint CellAt(const QPoint& position) const;  // (-1, -1) outside the cells
  int Level(int row, int column) const;
  bool On(int row, int column) const;
  void Toggle(int row, int column);
  void StepLevel(int row, int column, int steps);
  int CellSize() const;
  int RowHeader() const;
  int ColumnHeader() const;
  void PaintCaptions(QPainter& painter);
  void PaintCell(QPainter& painter, int row, int column);
  void PaintBlockLines(QPainter& painter);

  SettingBinder& binder_;
  CrossPointLayout layout_;
  QPoint current_{0, 0};
  QPoint hovered_{-1, -1};
  QPoint pressed_cell_{-1, -1};
  int press_y_ = 0;
  bool dragging_ = false;
};

}  // namespace tessaly::editor
