#include "editor/CrossPointGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

#include "editor/SettingBinder.h"
#include "editor/SettingLook.h"
#include "graph/GraphScale.h"
#include "model/ParameterDescriptor.h"
#include "widgets/UiScale.h"

namespace tessaly::editor {

namespace {

constexpr int kCellPixels = 44;
constexpr int kDragStepPixels = 8;  // pointer travel per 1 dB
constexpr int kWheelNotch = 120;
constexpr int kThickLine = 3;

int Scaled(int pixels) { return static_cast<int>(pixels * widgets::UiScale() + 0.5); }

QColor ChannelColor(bool family_b, int channel) {
  const graph::Rgb rgb = graph::ChannelColour(family_b, channel);
  return QColor(rgb.r, rgb.g, rgb.b);
}

}  // namespace

CrossPointGrid::CrossPointGrid(SettingBinder& binder, CrossPointLayout layout, QWidget* parent)
    : QWidget(parent), binder_(binder), layout_(std::move(layout)) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover);
  for (int row = 0; row < layout_.rows.size(); ++row) {
    for (int column = 0; column < layout_.columns.size(); ++column) {
      const QPoint t = layout_.target(row, column);
      const auto repaint = [this](int) { update(); };
      binder_.Bind(layout_.on_id, t.x(), t.y(), repaint);
      binder_.Bind(layout_.level_id, t.x(), t.y(), repaint);
    }
  }
}

int CrossPointGrid::CellSize() const { return Scaled(kCellPixels); }

int CrossPointGrid::RowHeader() const {
  int width = 0;
  for (const QString& caption : layout_.rows) {
    width = std::max(width, fontMetrics().horizontalAdvance(caption));
  }
  return width + Scaled(16);
}

int CrossPointGrid::ColumnHeader() const { return fontMetrics().height() + Scaled(12); }

QSize CrossPointGrid::sizeHint() const {
  return {RowHeader() + CellSize() * static_cast<int>(layout_.columns.size()) + 2,
          ColumnHeader() + CellSize() * static_cast<int>(layout_.rows.size()) + 2};
}

QSize CrossPointGrid::minimumSizeHint() const { return sizeHint(); }

QRect CrossPointGrid::CellRect(int row, int column) const {
  return {RowHeader() + column * CellSize(), ColumnHeader() + row * CellSize(), CellSize(),
          CellSize()};
}

QPoint CrossPointGrid::CellAt(const QPoint& position) const {
  const int x = position.x() - RowHeader();
  const int y = position.y() - ColumnHeader();
  if (x < 0 || y < 0) return {-1, -1};
  const int column = x / CellSize();
  const int row = y / CellSize();
  if (column >= layout_.columns.size() || row >= layout_.rows.size()) return {-1, -1};
  return {column, row};
}

int CrossPointGrid::Level(int row, int column) const {
  const QPoint t = layout_.target(row, column);
  return binder_.Index(layout_.level_id, t.x(), t.y());
}

bool CrossPointGrid::On(int row, int column) const {
  const QPoint t = layout_.target(row, column);
  return binder_.Index(layout_.on_id, t.x(), t.y()) == 1;
}

void CrossPointGrid::setCurrent(int row, int column) {
  row = std::clamp(row, 0, static_cast<int>(layout_.rows.size()) - 1);
  column = std::clamp(column, 0, static_cast<int>(layout_.columns.size()) - 1);
  if (current_ == QPoint(column, row)) return;
  current_ = {column, row};
  update();
  emit currentChanged(row, column);
}

void CrossPointGrid::Toggle(int row, int column) {
  const QPoint t = layout_.target(row, column);
  binder_.Set(layout_.on_id, t.x(), t.y(), On(row, column) ? 0 : 1);
}

void CrossPointGrid::StepLevel(int row, int column, int steps) {
  const model::ParameterDescriptor* level = &model::Param(layout_.level_id);
  const int now = Level(row, column);
  const int next = std::clamp(now + steps, level->minimum, level->maximum);
  if (now < 0 || next == now) return;
  const QPoint t = layout_.target(row, column);
  binder_.Set(layout_.level_id, t.x(), t.y(), next);
}

void CrossPointGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint cell = CellAt(event->position().toPoint());
  if (event->button() != Qt::LeftButton || cell.x() < 0) {
    QWidget::mousePressEvent(event);
    return;
  }
  setCurrent(cell.y(), cell.x());
  pressed_cell_ = cell;
  press_y_ = event->position().toPoint().y();
  dragging_ = false;
}

void CrossPointGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint cell = CellAt(event->position().toPoint());
  if (cell != hovered_) {
    hovered_ = cell;
    update();
  }
  if (pressed_cell_.x() < 0 || !(event->buttons() & Qt::LeftButton)) return;
  const int travel = press_y_ - event->position().toPoint().y();
  const int steps = travel / Scaled(kDragStepPixels);
  if (steps == 0) return;
  if (!dragging_) binder_.BeginGesture(layout_.level_id);
  dragging_ = true;
  StepLevel(pressed_cell_.y(), pressed_cell_.x(), steps);
  press_y_ -= steps * Scaled(kDragStepPixels);
}

void CrossPointGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || pressed_cell_.x() < 0) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  const QPoint cell = pressed_cell_;
  pressed_cell_ = {-1, -1};
  if (dragging_) {
    dragging_ = false;
    binder_.EndGesture();
  } else if (CellAt(event->position().toPoint()) == cell) {
    Toggle(cell.y(), cell.x());
  }
}

void CrossPointGrid::wheelEvent(QWheelEvent* event) {
  const QPoint cell = CellAt(event->position().toPoint());
  const int notches = event->angleDelta().y() / kWheelNotch;
  if (cell.x() < 0 || notches == 0) {
    event->ignore();
    return;
  }
  setCurrent(cell.y(), cell.x());
  binder_.BeginGesture(layout_.level_id);
  StepLevel(cell.y(), cell.x(), notches);
  binder_.EndGesture();
  event->accept();
}

void CrossPointGrid::keyPressEvent(QKeyEvent* event) {
  const int row = current_.y();
  const int column = current_.x();
  switch (event->key()) {
    case Qt::Key_Left:
      setCurrent(row, column - 1);
      break;
    case Qt::Key_Right:
      setCurrent(row, column + 1);
      break;
    case Qt::Key_Up:
      setCurrent(row - 1, column);
      break;
    case Qt::Key_Down:
      setCurrent(row + 1, column);
      break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!event->isAutoRepeat()) Toggle(row, column);
      break;
    case Qt::Key_Plus:
    case Qt::Key_PageUp:
      StepLevel(row, column, 1);
      break;
    case Qt::Key_Minus:
    case Qt::Key_PageDown:
      StepLevel(row, column, -1);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void CrossPointGrid::leaveEvent(QEvent* event) {
  hovered_ = {-1, -1};
  update();
  QWidget::leaveEvent(event);
}

bool CrossPointGrid::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QPoint cell = CellAt(help->pos());
    if (cell.x() >= 0) {
      QToolTip::showText(help->globalPos(), layout_.cell_name(cell.y(), cell.x()), this);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QWidget::event(event);
}

void CrossPointGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintCaptions(painter);
  for (int row = 0; row < layout_.rows.size(); ++row) {
    for (int column = 0; column < layout_.columns.size(); ++column) {
      PaintCell(painter, row, column);
    }
  }
  PaintBlockLines(painter);
}

void CrossPointGrid::PaintCaptions(QPainter& painter) {
  const QPalette& p = palette();
  const auto caption_pen = [&](bool lit, int channel) {
    if (lit) return QPen(p.color(QPalette::HighlightedText));
    return QPen(channel >= 0 ? ChannelTextColour(layout_.family_b, channel, p)
                             : p.color(QPalette::WindowText));
  };
  for (int column = 0; column < layout_.columns.size(); ++column) {
    const QRect cell = CellRect(0, column);
    const QRect box(cell.left(), 0, cell.width(), ColumnHeader() - Scaled(2));
    const bool lit = hovered_.x() == column;
    if (lit) painter.fillRect(box, p.color(QPalette::Highlight));
    painter.setPen(caption_pen(lit, layout_.column_channel ? layout_.column_channel(column) : -1));
    painter.drawText(box, Qt::AlignCenter, layout_.columns[column]);
  }
  for (int row = 0; row < layout_.rows.size(); ++row) {
    const QRect cell = CellRect(row, 0);
    const QRect box(0, cell.top(), RowHeader() - Scaled(2), cell.height());
    const bool lit = hovered_.y() == row;
    if (lit) painter.fillRect(box, p.color(QPalette::Highlight));
    painter.setPen(caption_pen(lit, layout_.row_channel ? layout_.row_channel(row) : -1));
    painter.drawText(box.adjusted(Scaled(6), 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     layout_.rows[row]);
  }
}

void CrossPointGrid::PaintCell(QPainter& painter, int row, int column) {
  const QPalette& p = palette();
  const QRect cell = CellRect(row, column);
  const bool on = On(row, column);
  const int level = Level(row, column);
  const bool lit = hovered_ == QPoint(column, row);
  painter.fillRect(cell, lit ? p.color(QPalette::Button) : p.color(QPalette::Base));
  painter.setPen(QPen(p.color(QPalette::Mid), 1));
  painter.drawRect(cell.adjusted(0, 0, -1, -1));

  // An on send is a lit pad in the colour of where the signal goes.
  const int pad = Scaled(5);
  const QRect inner = cell.adjusted(pad, pad, -pad, -pad);
  // The colour of where the signal goes: the column when it names a channel, else the row.
  const int channel = layout_.column_channel ? layout_.column_channel(column)
                      : layout_.row_channel  ? layout_.row_channel(row)
                                             : -1;
  const QColor accent =
      channel >= 0 ? ChannelColor(layout_.family_b, channel) : p.color(QPalette::Highlight);
  if (on) {
    painter.setBrush(accent);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(inner, Scaled(4), Scaled(4));
  } else {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(p.color(QPalette::Mid), 1, Qt::DashLine));
    painter.drawRoundedRect(inner, Scaled(4), Scaled(4));
  }
  if (level >= 0) {
    const QString text = binder_.IndexText(layout_.level_id, level);
    // Dark text on a bright pad, light text on a dark one.
    // By brightness as the eye sees it: pure blue is "half light" by hue but reads dark.
    const QColor on_text = qGray(accent.rgb()) > 140 ? QColor(Qt::black) : QColor(Qt::white);
    painter.setPen(on ? on_text : p.color(QPalette::PlaceholderText));
    painter.drawText(inner, Qt::AlignCenter, text);
  }
  if (hasFocus() && current_ == QPoint(column, row)) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(p.color(QPalette::Highlight), 2));
    painter.drawRect(cell.adjusted(1, 1, -2, -2));
  }
}

void CrossPointGrid::PaintBlockLines(QPainter& painter) {
  painter.setPen(QPen(palette().color(QPalette::WindowText), kThickLine));
  const int rows = static_cast<int>(layout_.rows.size());
  const int columns = static_cast<int>(layout_.columns.size());
  const QRect all = CellRect(0, 0).united(CellRect(rows - 1, columns - 1));
  for (int row = layout_.row_block; row < rows; row += layout_.row_block) {
    const int y = CellRect(row, 0).top();
    painter.drawLine(all.left(), y, all.right(), y);
  }
  for (int column = layout_.column_block; column < columns; column += layout_.column_block) {
    const int x = CellRect(0, column).left();
    painter.drawLine(x, all.top(), x, all.bottom());
  }
}

}  // namespace tessaly::editor
