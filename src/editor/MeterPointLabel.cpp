#include "editor/MeterPointLabel.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>

#include "editor/MeterPoints.h"

namespace tessaly::editor {

MeterPointLabel::MeterPointLabel(MeterPoints& points, int channel, QWidget* parent)
    : ClickLabel(parent), points_(points), channel_(channel), menu_(new QMenu(this)) {
  setObjectName(QStringLiteral("meterPointLabel"));
  setFocusPolicy(Qt::StrongFocus);
  setAlignment(Qt::AlignCenter);
  setFrameShape(QFrame::StyledPanel);
  setCursor(Qt::PointingHandCursor);
  auto* group = new QActionGroup(menu_);
  const QStringList captions = MeterPoints::Captions(channel);
  for (int choice = 0; choice < captions.size(); ++choice) {
    QAction* action = menu_->addAction(captions[choice]);
    action->setCheckable(true);
    action->setData(choice);
    group->addAction(action);
    connect(action, &QAction::triggered, this,
            [this, choice] { points_.SetChoice(channel_, choice); });
  }
  connect(this, &ClickLabel::clicked, this, &MeterPointLabel::PopUp);
  connect(&points_, &MeterPoints::choiceChanged, this, [this](int channel, int) {
    if (channel == channel_) ShowChoice();
  });
  ShowChoice();
}

void MeterPointLabel::ShowChoice() {
  const int choice = points_.Choice(channel_);
  setText(MeterPoints::Code(channel_, choice));
  const QStringList captions = MeterPoints::Captions(channel_);
  setToolTip(QStringLiteral("Meter point: ") + captions.value(choice));
  setAccessibleName(toolTip());
  for (QAction* action : menu_->actions()) action->setChecked(action->data().toInt() == choice);
}

void MeterPointLabel::PopUp() { menu_->popup(mapToGlobal(rect().bottomLeft())); }

void MeterPointLabel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
      event->key() == Qt::Key_Enter || event->key() == Qt::Key_Menu) {
    PopUp();
    return;
  }
  ClickLabel::keyPressEvent(event);
}

}  // namespace tessaly::editor
