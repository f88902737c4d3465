#include "editor/BlockDiagram.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include "editor/EditorSupport.h"
#include "protocol/Offsets.h"
#include "protocol/ValueLists.h"
#include "widgets/Theme.h"

namespace tessaly::editor {

namespace {

constexpr int kDelaysPage = 8;
// Inputs: name, gain, gate, compressor, EQ, delay; the routing; outputs: EQ, gain, delay,
// limiter, name.
constexpr int kInputColumns = 6;
constexpr int kRoutingColumn = kInputColumns;
constexpr int kColumns = kInputColumns + 1 + 5;
constexpr int kMinBlockWidth = 44;
constexpr double kWireGap = 14.0;

// A block's code: tens (inputs) or hundreds (outputs) name the channel, the last digit the block.
int InputCode(int input, int block) { return input * 10 + block; }
int OutputCode(int output, int block) { return (output + 1) * 100 + block; }

}  // namespace

int DiagramPage(bool family_b, int code) {
  if (code < 0) return -1;
  if (code < 100) {
    const int input = code / 10;
    const int block = code % 10;
    if (input >= (family_b ? 4 : 2)) return -1;
    if (block == 0 || block == 2 || block == 5 || block == 6) return input;
    return block == 3 || block == 4 ? kDelaysPage : -1;
  }
  const int output = code / 100;
  const int block = code % 100;
  if (output > 6) return -1;
  if (block == 2 || block == 3) return kDelaysPage;
  if (block != 0 && block != 1 && block != 5) return -1;
  if (!family_b) return output + 1;
  // The third output's codes of the wider family lead to its second output's page.
  constexpr int kPagesB[] = {-1, 4, 5, 6, 5, -1, -1};
  return kPagesB[output];
}

BlockDiagram::BlockDiagram(EditorContext& context, QString shown_key, QWidget* parent)
    : QWidget(parent), context_(context), shown_key_(std::move(shown_key)) {
  setObjectName(QStringLiteral("blockDiagram"));
  setMouseTracking(true);
  setAttribute(Qt::WA_Hover);
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  device_type_ = DeviceTypeOf(context);
  const protocol::Layout& layout = protocol::LayoutOfType(device_type_);
  inputs_ = layout.first_output;
  outputs_ = layout.channel_count - layout.first_output;
  for (int channel = 0; channel < layout.channel_count; ++channel) {
    AddChannel(channel, channel >= layout.first_output);
  }
  const bool family_b = layout.family == protocol::Family::kB;
  blocks_.push_back({-1, kRoutingColumn, QStringLiteral("Routing"),
                     family_b ? QStringLiteral("routing") : QStringLiteral("settings"),
                     family_b ? QStringLiteral("Input routing and output mixers")
                              : QStringLiteral("Output sources"),
                     palette().color(QPalette::WindowText)});
}

QString BlockDiagram::ChannelKey(int channel) const {
  return QStringLiteral("channel-") + protocol::ChannelName(device_type_, channel).toLower();
}

QString BlockDiagram::KeyOfCode(int code) const {
  const int page = DiagramPage(protocol::FamilyOf(device_type_) == protocol::Family::kB, code);
  if (page == kDelaysPage) return QStringLiteral("delays");
  return page >= 0 ? ChannelKey(page) : QString();
}

void BlockDiagram::AddChannel(int channel, bool output) {
  const QString name = protocol::ChannelName(device_type_, channel);
  const QColor colour = ChannelColor(context_, channel);
  const auto add = [&](int column, const char* caption, const QString& key, const char* tip) {
    blocks_.push_back({channel, column, QString::fromLatin1(caption), key,
                       QString::fromLatin1(tip) + QStringLiteral(" of ") + name, colour});
  };
  const QString gains = QStringLiteral("gains");
  if (!output) {
    blocks_.push_back({channel, 0, name, KeyOfCode(InputCode(channel, 0)), name, colour});
    add(1, "Gain", gains, "Gain and mute");
    add(2, "Gate", KeyOfCode(InputCode(channel, 2)), "Noise gate");
    add(3, "Comp", KeyOfCode(InputCode(channel, 5)), "RMS compressor");
    add(4, "EQ", KeyOfCode(InputCode(channel, 6)), "EQ");
    add(5, "Delay", KeyOfCode(InputCode(channel, 3)), "Delay");
    return;
  }
  const int index = channel - inputs_;
  add(kRoutingColumn + 1, "EQ", KeyOfCode(OutputCode(index, 1)), "Crossover and EQ");
  add(kRoutingColumn + 2, "Gain", gains, "Gain and mute");
  add(kRoutingColumn + 3, "Delay", KeyOfCode(OutputCode(index, 2)), "Delay");
  add(kRoutingColumn + 4, "Limiter", KeyOfCode(OutputCode(index, 5)), "Peak limiter");
  blocks_.push_back(
      {channel, kRoutingColumn + 5, name, KeyOfCode(OutputCode(index, 0)), name, colour});
}

int BlockDiagram::RowHeight() const { return fontMetrics().height() * 2 + 6; }

QSize BlockDiagram::sizeHint() const {
  return {kColumns * (fontMetrics().horizontalAdvance(QStringLiteral("Limiter")) + 34),
          std::max(inputs_, outputs_) * RowHeight() + 4};
}

QSize BlockDiagram::minimumSizeHint() const {
  return {kColumns * (kMinBlockWidth + static_cast<int>(kWireGap)), sizeHint().height()};
}

QRectF BlockDiagram::Place(const Block& block) const {
  const double pitch = static_cast<double>(width()) / kColumns;
  const double x = block.column * pitch + kWireGap / 2.0;
  const double w = pitch - kWireGap;
  const double total = height() - 4.0;
  if (block.channel < 0) return {x, 2.0, w, total};
  const bool output = block.channel >= inputs_;
  const int rows = output ? outputs_ : inputs_;
  const int row = output ? block.channel - inputs_ : block.channel;
  const double h = fontMetrics().height() * 1.6;
  const double centre = 2.0 + (row + 0.5) * total / rows;
  return {x, centre - h / 2.0, w, h};
}

QRect BlockDiagram::BlockRect(int channel, const QString& caption) const {
  for (const Block& block : blocks_) {
    if (block.channel == channel && block.caption == caption) return Place(block).toRect();
  }
  return {};
}

int BlockDiagram::BlockAt(QPoint pos) const {
  for (size_t i = 0; i < blocks_.size(); ++i) {
    if (Place(blocks_[i]).contains(pos)) return static_cast<int>(i);
  }
  return -1;
}

void BlockDiagram::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPalette& colours = palette();
  const QColor ground = colours.color(QPalette::Window);
  QColor wire = colours.color(QPalette::WindowText);
  wire.setAlphaF(0.5F);
  const QColor current = colours.color(QPalette::Highlight);

  // Wires first, each ending in an arrow head at the left edge of the block it feeds.
  painter.setPen(QPen(wire, 1.4));
  const auto arrow = [&painter, &wire](QPointF from, QPointF to) {
    QPainterPath path(from);
    const double bend = (from.x() + to.x()) / 2.0;
    path.cubicTo({bend, from.y()}, {bend, to.y()}, to);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setBrush(wire);
    painter.drawPolygon(QPolygonF({to, to + QPointF(-6, -3.5), to + QPointF(-6, 3.5)}));
  };
  QRectF routing;
  for (const Block& block : blocks_) {
    if (block.channel < 0) routing = Place(block);
  }
  for (const Block& block : blocks_) {
    if (block.channel < 0) continue;
    const QRectF here = Place(block);
    const bool output = block.channel >= inputs_;
    const bool first = block.column == (output ? kRoutingColumn + 1 : 0);
    if (!first) {
      const double left = here.left() - kWireGap;
      arrow({left, here.center().y()}, {here.left(), here.center().y()});
    } else if (output) {
      arrow({routing.right(), here.center().y()}, {here.left(), here.center().y()});
    }
    if (!output && block.column == kInputColumns - 1) {
      arrow({here.right(), here.center().y()}, {routing.left(), here.center().y()});
    }
  }

  for (size_t i = 0; i < blocks_.size(); ++i) {
    const Block& block = blocks_[i];
    const QRectF box = Place(block).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool shown = block.key == shown_key_;
    const bool name = block.caption != QLatin1String("Gain") && block.colour.isValid() &&
                      (block.column == 0 || block.column == kColumns - 1);
    QColor fill = colours.color(QPalette::Button);
    if (static_cast<int>(i) == hovered_ && !shown) fill = fill.lighter(135);
    painter.setBrush(fill);
    painter.setPen(QPen(shown ? current : (name ? block.colour : wire), shown ? 2.0 : 1.2));
    painter.drawRoundedRect(box, 4, 4);
    if (hasFocus() && static_cast<int>(i) == focused_) {
      painter.setPen(QPen(current, 1.0, Qt::DashLine));
      painter.setBrush(Qt::NoBrush);
      painter.drawRoundedRect(box.adjusted(-3, -3, 3, 3), 5, 5);
    }
    QFont font = painter.font();
    font.setBold(name);
    painter.setFont(font);
    painter.setPen(name ? widgets::ReadableOn(block.colour, ground)
                        : colours.color(QPalette::ButtonText));
    const QString text = painter.fontMetrics().elidedText(block.caption, Qt::ElideRight,
                                                          static_cast<int>(box.width()) - 4);
    if (block.channel < 0) {
      painter.save();
      painter.translate(box.center());
      painter.rotate(-90);
      painter.drawText(QRectF(-box.height() / 2, -box.width() / 2, box.height(), box.width()),
                       Qt::AlignCenter, block.caption);
      painter.restore();
    } else {
      painter.drawText(box, Qt::AlignCenter, text);
    }
  }
}

void BlockDiagram::mouseMoveEvent(QMouseEvent* event) {
  const int at = BlockAt(event->position().toPoint());
  if (at != hovered_) {
    hovered_ = at;
    const bool live = at >= 0 && !blocks_[static_cast<size_t>(at)].key.isEmpty() &&
                      blocks_[static_cast<size_t>(at)].key != shown_key_;
    setCursor(live ? Qt::PointingHandCursor : Qt::ArrowCursor);
    update();
  }
  QWidget::mouseMoveEvent(event);
}

void BlockDiagram::leaveEvent(QEvent* event) {
  hovered_ = -1;
  update();
  QWidget::leaveEvent(event);
}

void BlockDiagram::keyPressEvent(QKeyEvent* event) {
  const int count = static_cast<int>(blocks_.size());
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
      focused_ = (focused_ + (event->key() == Qt::Key_Right ? 1 : count - 1)) % count;
      update();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (!blocks_[static_cast<size_t>(focused_)].key.isEmpty()) {
        emit pageRequested(blocks_[static_cast<size_t>(focused_)].key);
      }
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void BlockDiagram::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void BlockDiagram::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

void BlockDiagram::mousePressEvent(QMouseEvent* event) {
  const int at = event->button() == Qt::LeftButton ? BlockAt(event->position().toPoint()) : -1;
  if (at < 0 || blocks_[static_cast<size_t>(at)].key.isEmpty()) {
    QWidget::mousePressEvent(event);
    return;
  }
  emit pageRequested(blocks_[static_cast<size_t>(at)].key);
}

bool BlockDiagram::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const int at = BlockAt(help->pos());
    if (at >= 0) {
      QToolTip::showText(help->globalPos(), blocks_[static_cast<size_t>(at)].tip, this);
      return true;
    }
  }
  return QWidget::event(event);
}

}  // namespace tessaly::editor
