#include "editor/EditorWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "connect/ui/DeviceIpDialog.h"
#include "device/DeviceTypes.h"
#include "editor/ChannelMeter.h"
#include "editor/EditorSupport.h"
#include "editor/StatusFlag.h"
#include "protocol/ValueLists.h"
#include "widgets/Theme.h"

namespace tessaly::editor {

namespace {

// A page keeps its natural size while there is room; squeezed (editors tiled on a small
// screen) it scrolls instead of overlapping its controls.
class PageScroller : public QScrollArea {
 public:
  explicit PageScroller(QWidget* page, QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(page);
  }
  QSize sizeHint() const override { return widget()->sizeHint(); }
};

}  // namespace

namespace {

constexpr int kPollFirstMs = 2000;

}  // namespace

EditorWindow::EditorWindow(EditorContext context, comm::Comm& comm, QWidget* parent)
    : QWidget(parent), context_(context), comm_(comm) {
  setObjectName(QStringLiteral("editorWindow"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(2);
  BuildOfflineBar(layout);

  tool_bar_ = new QToolBar(this);
  tool_bar_->setObjectName(QStringLiteral("editorToolBar"));
  tool_bar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  QAction* ip = tool_bar_->addAction(QStringLiteral("IP &Setting"));
  ip->setObjectName(QStringLiteral("ipSettingAction"));
  ip->setToolTip(QStringLiteral("Change the device's IP address"));
  connect(ip, &QAction::triggered, this, &EditorWindow::OpenIpSettings);
  // The device's lock and password are states it reports, not tools: they sit apart, at the
  // row's far end, behind a rule.
  auto* flags = new QWidget(this);
  flags->setObjectName(QStringLiteral("deviceFlags"));
  auto* flag_row = new QHBoxLayout(flags);
  flag_row->setContentsMargins(0, 0, 0, 0);
  flag_row->setSpacing(2);
  auto* rule = new QFrame(flags);
  rule->setFrameShape(QFrame::VLine);
  rule->setFrameShadow(QFrame::Sunken);
  flag_row->addWidget(rule);
  lock_flag_ = new StatusFlag(StatusFlag::Icon::kPadlock, QStringLiteral("lockIndicator"), flags);
  password_flag_ =
      new StatusFlag(StatusFlag::Icon::kKey, QStringLiteral("passwordIndicator"), flags);
  flag_row->addWidget(lock_flag_);
  flag_row->addWidget(password_flag_);
  // One row of tools leaves the pages their height; a short row folds into the bar's arrow.
  tool_row_ = new QHBoxLayout;
  tool_row_->setSpacing(0);
  tool_row_->addWidget(tool_bar_);
  tool_row_->addWidget(flags);
  layout->addLayout(tool_row_);

  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("pageTabs"));
  tabs_->setExpanding(false);
  tabs_->setDocumentMode(true);
  tabs_->setFocusPolicy(Qt::StrongFocus);
  // One-letter channel captions still make a tab worth aiming at.
  tabs_->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 2.2em; }"));
  layout->addWidget(tabs_);
  stack_ = new QStackedWidget(this);
  stack_->setObjectName(QStringLiteral("pageStack"));
  layout->addWidget(stack_, 1);
  connect(tabs_, &QTabBar::currentChanged, this, &EditorWindow::ShowPage);

  poll_timer_ = new QTimer(this);
  poll_timer_->setObjectName(QStringLiteral("pollTimer"));
  poll_timer_->setInterval(kPollFirstMs);

  ShowLockState();
  connect(&context_.edits, &model::EditPath::pendingChanged, this, [this](int slot) {
    if (slot == context_.slot) ShowPendingCounts();
  });
}

void EditorWindow::AddLeadingToolBar(QToolBar* bar) {
  bar->setParent(this);
  tool_row_->insertWidget(0, bar, 1);
}

int EditorWindow::AddPage(const QString& title, QWidget* page, const QString& key, int channel) {
  stack_->addWidget(new PageScroller(page, stack_));
  pages_.push_back({title, key.isEmpty() ? page->objectName() : key, channel, page});
  const QSignalBlocker block(tabs_);  // adding a tab is no selection
  const int tab = tabs_->addTab(title);
  if (channel >= 0) {
    // Channel tabs in their channel's colour, named in full where the caption is one letter.
    tabs_->setTabTextColor(tab, widgets::ReadableOn(ChannelColor(context_, channel),
                                                    palette().color(QPalette::Window)));
    tabs_->setTabToolTip(tab, protocol::ChannelName(DeviceTypeOf(context_), channel));
  }
  tabs_->setCurrentIndex(current_page_ < 0 ? 0 : current_page_);
  return page_count() - 1;
}

void EditorWindow::ShowPage(int index) {
  if (index == current_page_ || index < 0 || index >= page_count()) return;
  current_page_ = index;
  {
    const QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(index);
  }
  QWidget* page = pages_[static_cast<size_t>(index)].widget;
  stack_->setCurrentIndex(index);
  const int channel = pages_[static_cast<size_t>(index)].channel;
  if (channel >= 0) emit channelPageShown(channel);
  // No text box of the page keeps the keyboard from the last visit.
  page->setFocus(Qt::OtherFocusReason);
  emit pageShown(index);
}

QWidget* EditorWindow::Page(int index) const {
  return index >= 0 && index < page_count() ? pages_[static_cast<size_t>(index)].widget : nullptr;
}

QString EditorWindow::PageTitle(int index) const {
  return index >= 0 && index < page_count() ? pages_[static_cast<size_t>(index)].title : QString();
}

QString EditorWindow::PageKey(int index) const {
  return index >= 0 && index < page_count() ? pages_[static_cast<size_t>(index)].key : QString();
}

int EditorWindow::PageChannel(int index) const {
  return index >= 0 && index < page_count() ? pages_[static_cast<size_t>(index)].channel : -1;
}

int EditorWindow::PageIndex(const QString& key) const {
  for (int i = 0; i < page_count(); ++i) {
    if (pages_[static_cast<size_t>(i)].key == key) return i;
  }
  return -1;
}

void EditorWindow::SetCaption(const QString& program_name, LoadedFrom from) {
  const comm::CommState& state = comm_.state();
  const auto slot = static_cast<size_t>(context_.slot);
  const QString model = device::ModelName(state.table.device_type[slot]).trimmed();
  // With no device there is no link to name, whatever was loaded.
  const QString caption =
      !offline_file_.isEmpty()
          ? OfflineCaption(model, QFileInfo(offline_file_).fileName())
          : EditorCaption(state.connection_mode, state.table[context_.slot].ip_address, model,
                          program_name, from);
  caption_ = caption;
  ShowCaption();
}

void EditorWindow::ShowCaption() {
  const QString caption =
      offline_ ? caption_ + QString::fromLatin1(kOfflineCaptionSuffix) : caption_;
  setWindowTitle(caption);
  if (parentWidget() != nullptr) parentWidget()->setWindowTitle(caption);
}

void EditorWindow::SetOfflineFile(const QString& path) {
  offline_file_ = path;
  SetCaption(QString(), LoadedFrom::kFile);
  poll_timer_->stop();
  const QString why = QString::fromLatin1(kNoDeviceTip);
  if (auto* ip = tool_bar_->findChild<QAction*>(QStringLiteral("ipSettingAction"))) {
    ip->setEnabled(false);
    ip->setToolTip(why);
  }
  for (ChannelMeter* meter : findChildren<ChannelMeter*>()) {
    meter->setEnabled(false);
    meter->setToolTip(why);
  }
}

QString EditorWindow::DeviceText() const {
  const comm::CommState& state = comm_.state();
  const auto slot = static_cast<size_t>(context_.slot);
  const QString link = DeviceCaption(state.connection_mode, state.table[context_.slot].ip_address,
                                     device::ModelName(state.table.device_type[slot]).trimmed());
  // The device's own name tells two devices of one model apart.
  const QString name = state.table.device_name[slot].trimmed();
  return name.isEmpty() ? link : name + QStringLiteral(" (") + link + QLatin1Char(')');
}

void EditorWindow::ShowLockState() {
  const protocol::SlotState* state = context_.edits.SlotStateOf(context_.slot);
  const bool locked = state != nullptr && state->lock == 1;
  const bool password = state != nullptr && state->password == 1;
  lock_flag_->Show(locked ? QStringLiteral("Locked") : QStringLiteral("Lock"), locked,
                   locked ? QStringLiteral("The device's front panel is locked")
                          : QStringLiteral("The device's front panel is not locked"));
  password_flag_->Show(QStringLiteral("Password"), password,
                       password ? QStringLiteral("The device is protected by a password")
                                : QStringLiteral("The device has no password set"));
}

void EditorWindow::OpenIpSettings() {
  comm::CommState& state = comm_.state();
  if (state.connection_mode == comm::kLinkTcp) {
    context_.messenger.Show({device::MessageIcon::kInformation,
                             QString::fromLatin1(kIpSettingTitle),
                             QString::fromLatin1(kIpUsbOnlyText), device::MessageButtons::kOk});
    return;
  }
  protocol::SlotState* slot_state = context_.edits.store().State(context_.slot);
  if (slot_state == nullptr) return;
  const comm::KeepAliveHold hold(comm_);
  connect::DeviceIpDialog dialog(comm_, *slot_state, context_.slot, this);
  dialog.exec();
}

void EditorWindow::CloseWithoutAsking() {
  ask_on_close_ = false;
  poll_timer_->stop();
  if (parentWidget() != nullptr) {
    parentWidget()->close();
  } else {
    close();
  }
}

bool EditorWindow::MayClose() {
  comm::CommState& state = comm_.state();
  state.current_device = static_cast<int16_t>(context_.slot);
  if (!ask_on_close_) return true;
  if (const std::optional<bool> lose = MayLosePending()) return *lose;
  // An off-line editor holds nothing the user could lose: it closes without a question.
  if (state.table.device_needs_read[static_cast<size_t>(context_.slot)]) return true;
  return context_.messenger.Show(
             {device::MessageIcon::kNone, QString::fromLatin1(kCloseEditorTitle),
              QString::fromLatin1(kCloseEditorText), device::MessageButtons::kYesNo}) ==
         device::MessageAnswer::kYes;
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  if (!MayClose()) {
    event->ignore();
    return;
  }
  closed_ = true;
  poll_timer_->stop();
  event->accept();
  emit closed(context_.slot);
}

std::optional<bool> EditorWindow::MayLosePending() {
  const int count = context_.edits.Pending(context_.slot).Count();
  if (count == 0) return std::nullopt;
  const QString text = QStringLiteral(
                           "%1 edit%2 made in the editor of %3 %4 not in the device.\n"
                           "Close the editor and lose %5?")
                           .arg(count)
                           .arg(count == 1 ? QString() : QStringLiteral("s"), DeviceText(),
                                count == 1 ? QStringLiteral("is") : QStringLiteral("are"),
                                count == 1 ? QStringLiteral("it") : QStringLiteral("them"));
  return context_.messenger.Show({device::MessageIcon::kQuestion,
                                  QString::fromLatin1(kPendingCloseTitle), text,
                                  device::MessageButtons::kYesNo}) == device::MessageAnswer::kYes;
}

void EditorWindow::BuildOfflineBar(QVBoxLayout* layout) {
  auto* bar = new QFrame(this);
  bar->setObjectName(QStringLiteral("offlineBar"));
  // The one place the eye goes first: a warm band across the whole window.
  bar->setStyleSheet(
      QStringLiteral("#offlineBar { background: #c0392b; border-radius: 3px; }"
                     "#offlineBar QLabel { color: white; font-weight: bold; }"));
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(8, 3, 4, 3);
  offline_text_ = new QLabel(bar);
  offline_text_->setObjectName(QStringLiteral("offlineReason"));
  row->addWidget(offline_text_, 1);
  auto* reconnect = new QPushButton(QStringLiteral("Reconnect"), bar);
  reconnect->setObjectName(QStringLiteral("reconnectButton"));
  reconnect->setToolTip(
      QStringLiteral("Link the device again and compare what it holds with this editor"));
  connect(reconnect, &QPushButton::clicked, this, &EditorWindow::reconnectRequested);
  row->addWidget(reconnect);
  bar->hide();
  layout->addWidget(bar);
  offline_bar_ = bar;
}

void EditorWindow::ShowOffline(const QString& reason, const QDateTime& since) {
  offline_text_->setText(QStringLiteral("Off-line since %1: %2. Edits wait until you reconnect.")
                             .arg(since.toString(QStringLiteral("HH:mm:ss")), reason));
  offline_bar_->show();
  if (offline_) return;
  offline_ = true;
  ShowCaption();
  emit linkShown(false);
}

void EditorWindow::ShowOnline() {
  offline_bar_->hide();
  if (!offline_) return;
  offline_ = false;
  ShowCaption();
  emit linkShown(true);
}

namespace {

// What a page without a channel of its own shows, by its key.
bool PageShows(const QString& key, const model::PendingEdits::Key& edit) {
  const model::Scope scope = model::Param(edit.id).scope;
  if (key == QLatin1String("gains")) {
    return edit.id == model::ParamId::kGain || edit.id == model::ParamId::kMute;
  }
  if (key == QLatin1String("delays")) return edit.id == model::ParamId::kDelay;
  if (key == QLatin1String("routing")) {
    return scope == model::Scope::kRoutingPoint || scope == model::Scope::kMixerSend;
  }
  if (key == QLatin1String("settings")) return scope == model::Scope::kDevice;
  return false;
}

}  // namespace

void EditorWindow::ShowPendingCounts() {
  const model::PendingEdits& pending = context_.edits.Pending(context_.slot);
  const std::vector<model::PendingEdits::Key> keys = pending.Keys();
  for (int i = 0; i < page_count(); ++i) {
    const PageEntry& page = pages_[static_cast<size_t>(i)];
    const int count = page.channel >= 0
                          ? pending.CountOnChannel(page.channel)
                          : static_cast<int>(std::ranges::count_if(keys, [&page](const auto& key) {
                              return PageShows(page.key, key);
                            }));
    tabs_->setTabText(
        i, count == 0 ? page.title : page.title + QStringLiteral(" \u25CF%1").arg(count));
  }
}

}  // namespace tessaly::editor
