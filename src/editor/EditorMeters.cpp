#include "editor/EditorMeters.h"

#include <QAction>
#include <QLabel>
#include <QToolBar>

#include "comm/Comm.h"
#include "editor/ChannelMeter.h"
#include "editor/EditorWindow.h"
#include "editor/MeterPoints.h"
#include "widgets/LedMeter.h"

namespace tessaly::editor {
namespace {

// The bar names the point it shows.
void ShowPoint(ChannelMeter& meter, int choice) {
  meter.SetMainPoint(choice);
  const QStringList captions = MeterPoints::Captions(meter.channel());
  if (choice >= 0 && choice < captions.size()) {
    meter.bar(0).setToolTip(captions[choice] + QStringLiteral(": -15 dBV to + 9 dBV"));
  }
}

}  // namespace

EditorMeters::EditorMeters(EditorWindow& window, comm::Comm& comm) : QObject(&window) {
  setObjectName(QStringLiteral("editorMeters"));
  EditorContext& context = window.context();
  poll_ = new meters::MeterPoll(comm, context.edits, context.slot, *window.poll_timer(), this);
  const QList<ChannelMeter*> found = window.findChildren<ChannelMeter*>();
  meters_.assign(found.begin(), found.end());
  const bool single_bar = !meters_.empty() && meters_.front()->bar_count() == 1;
  if (single_bar) {
    points_ = window.findChild<MeterPoints*>();
    if (points_ == nullptr) points_ = new MeterPoints(&window);
    for (ChannelMeter* meter : meters_) ShowPoint(*meter, points_->Choice(meter->channel()));
    connect(points_, &MeterPoints::choiceChanged, this, [this](int channel, int choice) {
      for (ChannelMeter* meter : meters_) {
        if (meter->channel() == channel) ShowPoint(*meter, choice);
      }
    });
  }

  sleep_label_ = new QLabel(QStringLiteral("Sleeping"));
  sleep_label_->setObjectName(QStringLiteral("sleepingLabel"));
  sleep_label_->setStyleSheet(
      QStringLiteral("QLabel { color: #ffa000; font-weight: bold; padding: 0 8px; }"));
  if (auto* tools = window.findChild<QToolBar*>(QStringLiteral("editorToolBar"))) {
    // First in the toolbar, so a narrow window never folds it away.
    const QList<QAction*> actions = tools->actions();
    sleep_action_ =
        tools->insertWidget(actions.isEmpty() ? nullptr : actions.front(), sleep_label_);
    sleep_action_->setVisible(false);
  } else {
    sleep_label_->setParent(&window);
    sleep_label_->hide();
  }
  connect(poll_, &meters::MeterPoll::readingChanged, this, &EditorMeters::Show);
  // An off-line device's levels are unknown: the meters grey out and the poll rests.
  connect(&window, &EditorWindow::linkShown, this, [this, &window](bool online) {
    for (ChannelMeter* meter : meters_) meter->setEnabled(online);
    if (online) {
      poll_->Start();
    } else {
      window.poll_timer()->stop();
    }
  });
}

void EditorMeters::Show() {
  const protocol::MeterReading& reading = poll_->reading();
  for (ChannelMeter* meter : meters_) {
    if (meter->channel() < reading.channel_count) {
      meter->Show(reading.channels[static_cast<size_t>(meter->channel())]);
    }
  }
  const bool shown = poll_->sleep_shown();
  if (sleep_action_ != nullptr) {
    if (sleep_action_->isVisible() != shown) sleep_action_->setVisible(shown);
  } else if (sleep_label_->isVisible() != shown) {
    sleep_label_->setVisible(shown);
  }
}

EditorMeters* AttachMeters(EditorWindow& window, comm::Comm& comm) {
  auto* meters = new EditorMeters(window, comm);
  meters->poll().Start();
  return meters;
}

}  // namespace tessaly::editor
