#include "editor/PendingDot.h"

#include <QEvent>
#include <QPainter>

#include "model/EditPath.h"

namespace tessaly::editor {
namespace {

constexpr int kDiameter = 7;
constexpr int kInset = 2;

}  // namespace

PendingDot::PendingDot(QWidget& control) : QWidget(&control) {
  setObjectName(QStringLiteral("pendingDot"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setToolTip(QStringLiteral("The device has not confirmed this value"));
  resize(kDiameter, kDiameter);
  control.installEventFilter(this);
}

void PendingDot::Show(QWidget& control, bool pending) {
  auto* dot =
      control.findChild<PendingDot*>(QStringLiteral("pendingDot"), Qt::FindDirectChildrenOnly);
  if (dot == nullptr) {
    if (!pending) return;
    dot = new PendingDot(control);
  }
  dot->Place();
  dot->setVisible(pending);
  if (pending) dot->raise();
}

void PendingDot::Follow(QWidget& control, model::EditPath& edits, const model::EditTarget& target) {
  QObject::connect(
      &edits, &model::EditPath::pendingChanged, &control, [&control, &edits, target](int slot) {
        if (slot != target.slot) return;
        Show(control, edits.Pending(slot).Contains({target.id, target.channel, target.element}));
      });
}

bool PendingDot::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::Resize) Place();
  return QWidget::eventFilter(watched, event);
}

void PendingDot::Place() {
  if (const QWidget* control = parentWidget()) {
    move(control->width() - kDiameter - kInset, kInset);
  }
}

void PendingDot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xe6, 0x7e, 0x22));
  painter.drawEllipse(rect());
}

}  // namespace tessaly::editor
