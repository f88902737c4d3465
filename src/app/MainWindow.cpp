#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include "app/AboutDialog.h"
#include "app/AppIcon.h"
#include "app/AppState.h"
#include "app/ConnectionSummary.h"
#include "app/FilesSettingsPage.h"
#include "app/OpenPresetAction.h"
#include "app/RecentFilesMenu.h"
#include "app/SettingsDialog.h"
#include "app/UserGuideWindow.h"
#include "connect/DeviceList.h"
#include "connect/ui/ConnectWorkflow.h"
#include "connect/ui/DeviceListWindow.h"
#include "editor/EditorManager.h"

namespace tessaly::app {

namespace {

// The questions carry no icon, only Yes and No.
device::Message Question(const char* title, const char* text) {
  return {device::MessageIcon::kNone, QString::fromLatin1(title), QString::fromLatin1(text),
          device::MessageButtons::kYesNo};
}

}  // namespace

MainWindow::MainWindow(AppState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
  setObjectName(QStringLiteral("mainWindow"));
  // Every window of the program, the MDI children included, carries the one icon.
  QApplication::setWindowIcon(AppIcon());
  setWindowIcon(QApplication::windowIcon());
  mdi_area_ = new QMdiArea(this);
  mdi_area_->setObjectName(QStringLiteral("mdiArea"));
  mdi_area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_area_);
  connection_label_ = new QLabel(this);
  connection_label_->setObjectName(QStringLiteral("connectionLabel"));
  statusBar()->addPermanentWidget(connection_label_);
  connect(&state_.comm(), &comm::Comm::rowTextChanged, this, &MainWindow::ShowConnection);
  // A long exchange keeps the window painting; the status bar says which device it waits for.
  connect(&state_.comm(), &comm::Comm::waitingForDevice, this,
          [this](int /*slot*/, const QString& description) {
            statusBar()->showMessage(QStringLiteral("Waiting for ") + description);
          });
  connect(&state_.comm(), &comm::Comm::waitFinished, statusBar(), &QStatusBar::clearMessage);

  connection_timer_ = new QTimer(this);
  connection_timer_->setObjectName(QStringLiteral("connectionTimer"));
  connection_timer_->setInterval(kConnectionShownMs);
  connect(connection_timer_, &QTimer::timeout, this, &MainWindow::ShowConnection);

  workflow_ = new connect::ConnectWorkflow(state_.comm(), {this, mdi_area_}, this);
  workflow_->runtime().session.settings = &state_.settings;
  connect(workflow_, &connect::ConnectWorkflow::deviceListShown, this, [this](QWidget* list) {
    state_.editor_count = -1;
    SetDeviceListWindow(list);
    auto* rows = qobject_cast<connect::DeviceListWindow*>(list);
    if (rows == nullptr) rows = list->findChild<connect::DeviceListWindow*>();
    if (rows != nullptr) {
      connect(editors_, &editor::EditorManager::pendingCountChanged, rows,
              &connect::DeviceListWindow::ShowPendingCount);
    }
    ShowConnectMenu();
    if (open_first_pending_) OpenFirstWhenListed(list);
  });
  editors_ = new editor::EditorManager(workflow_->runtime(), mdi_area_, state_.editor_count,
                                       state_.decimal_comma, this);
  workflow_->SetOpenEditor([this](int slot) { editors_->Open(slot); });
  workflow_->SetReconnectEditor([this](int slot) { editors_->ReconnectEditor(slot); });
  connect(editors_, &editor::EditorManager::editorOpened, this, &MainWindow::ShowConnectMenu);
  connect(editors_, &editor::EditorManager::editorClosed, this, &MainWindow::ShowConnectMenu);

  BuildMenus();
  ShowConnection();
  // An unreadable settings file was set aside at the start; say so once, where it is seen.
  if (!state_.settings.notice().isEmpty()) statusBar()->showMessage(state_.settings.notice());
  // A laptop screen is smaller than the wanted size: take what it has, its title bar left room.
  QSize wanted(1280, 760);
  if (const QScreen* shown_on = screen()) {
    const QSize room = shown_on->availableGeometry().size();
    wanted = wanted.boundedTo(room - QSize(0, 2 * fontMetrics().height()));
  }
  resize(wanted);
  // As the user left it last time; the first run keeps the size above.
  restoreGeometry(state_.settings.Value(QString::fromLatin1(kGeometryKey)).toByteArray());
  restoreState(state_.settings.Value(QString::fromLatin1(kLayoutKey)).toByteArray());
}

MainWindow::~MainWindow() {
  state_.settings.SetValue(QString::fromLatin1(kGeometryKey), saveGeometry());
  state_.settings.SetValue(QString::fromLatin1(kLayoutKey), saveState());
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("fileMenu"));
  AddOpenPresetAction(*this, *file);
  AddRecentFilesMenu(*this, *file);
  file->addSeparator();
  QAction* preferences = file->addAction(QStringLiteral("&Settings..."));
  preferences->setObjectName(QStringLiteral("settingsAction"));
  preferences->setToolTip(QStringLiteral("The application's own preferences"));
  connect(preferences, &QAction::triggered, this, &MainWindow::ShowSettings);
  file->addSeparator();
  QAction* exit = file->addAction(QStringLiteral("E&xit"));
  exit->setObjectName(QStringLiteral("exitAction"));
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  connection_mode_ = menuBar()->addMenu(QStringLiteral("&Connect"));
  connection_mode_->setObjectName(QStringLiteral("connectMenu"));
  QAction* mode_connect = connection_mode_->addAction(QStringLiteral("&Connect"));
  mode_connect->setObjectName(QStringLiteral("connectAction"));
  mode_connect->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  connect(mode_connect, &QAction::triggered, this, &MainWindow::OnConnectTriggered);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("editMenu"));
  edit->addAction(editors_->undo_action());
  edit->addAction(editors_->redo_action());
  edit->addSeparator();
  edit->addAction(editors_->send_all_action());
  edit->addAction(editors_->reread_action());
  connect(edit, &QMenu::aboutToShow, editors_, &editor::EditorManager::RefreshUndoActions);

  BuildWindowMenu();

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("helpMenu"));
  QAction* guide = help->addAction(QStringLiteral("&User guide"));
  guide->setObjectName(QStringLiteral("userGuideAction"));
  guide->setShortcut(QKeySequence::HelpContents);
  connect(guide, &QAction::triggered, this, &MainWindow::ShowUserGuide);
  QAction* about = help->addAction(QStringLiteral("&About"));
  about->setObjectName(QStringLiteral("aboutAction"));
  connect(about, &QAction::triggered, this, &MainWindow::ShowAbout);
}

void MainWindow::BuildWindowMenu() {
  window_menu_ = menuBar()->addMenu(QStringLiteral("&Window"));
  window_menu_->setObjectName(QStringLiteral("windowMenu"));
  connect(window_menu_, &QMenu::aboutToShow, this, &MainWindow::FillWindowMenu);
  FillWindowMenu();
}

// The list of open windows is rebuilt each time the menu opens, so a minimised device list can
// always be brought back.
void MainWindow::FillWindowMenu() {
  window_menu_->clear();
  QAction* tile = window_menu_->addAction(QStringLiteral("&Tile"));
  tile->setObjectName(QStringLiteral("tileAction"));
  connect(tile, &QAction::triggered, mdi_area_, &QMdiArea::tileSubWindows);
  QAction* cascade = window_menu_->addAction(QStringLiteral("&Cascade"));
  cascade->setObjectName(QStringLiteral("cascadeAction"));
  connect(cascade, &QAction::triggered, mdi_area_, &QMdiArea::cascadeSubWindows);
  const QList<QMdiSubWindow*> windows = mdi_area_->subWindowList();
  if (!windows.isEmpty()) window_menu_->addSeparator();
  int number = 1;
  for (QMdiSubWindow* window : windows) {
    QString text = window->windowTitle();
    if (text.isEmpty() && window->widget() != nullptr) text = window->widget()->windowTitle();
    if (number <= 9) text = QStringLiteral("&%1 ").arg(number) + text;
    ++number;
    QAction* item = window_menu_->addAction(text);
    item->setObjectName(QStringLiteral("windowListAction"));
    item->setCheckable(true);
    item->setChecked(window == mdi_area_->currentSubWindow());
    connect(item, &QAction::triggered, this, [this, window] {
      if (window->isMinimized()) window->showNormal();
      mdi_area_->setActiveSubWindow(window);
    });
  }
}

void MainWindow::ShowConnection() {
  const QString summary = ConnectionSummary(state_.comm());
  setWindowTitle(QStringLiteral("Tessaly - ") + summary);
  connection_label_->setText(summary);
}

bool MainWindow::Load() {
  state_.editor_count = -1;
  connection_mode_->menuAction()->setVisible(true);
  if (state_.comm().tcp().Initialise(kTcpSlotsAtStart) != 0) {
    state_.messenger().Show({device::MessageIcon::kCritical, QString::fromLatin1(kTcpInitTitle),
                             QString::fromLatin1(kTcpInitText), device::MessageButtons::kOk});
    return false;
  }
  ShowConnectMenu();
  connection_timer_->start();
  return true;
}

void MainWindow::ShowConnectMenu() {
  const bool available = state_.editor_count < 0;
  ShowConnection();
  QAction* menu = connection_mode_->menuAction();
  if (menu->isEnabled() != available) menu->setEnabled(available);
}

void MainWindow::SetDeviceListWindow(QWidget* window) { device_list_ = window; }

bool MainWindow::LeaveOnlineMode() {
  state_.comm().keep_alive().Stop();
  if (!state_.comm().LeaveOnlineMode()) return false;
  if (device_list_) device_list_->close();
  return true;
}

void MainWindow::OnConnectTriggered() {
  if (state_.comm().online_mode()) {
    if (state_.messenger().Show(Question(kLeaveOnlineTitle, kLeaveOnlineText)) !=
        device::MessageAnswer::kYes) {
      return;
    }
    if (!LeaveOnlineMode()) return;
  }
  workflow_->Configure(state_.locations, state_.demo_firmware_version, state_.demo_second_version);
  switch (workflow_->Begin()) {
    case connect::ConnectWorkflow::Begun::kConnecting:
      break;
    case connect::ConnectWorkflow::Begun::kCancelled:
      ShowConnectMenu();
      break;
    case connect::ConnectWorkflow::Begun::kFatal:
      QCoreApplication::exit(1);
      break;
  }
}

void MainWindow::ConnectAndOpenFirst() {
  open_first_pending_ = true;
  workflow_->Configure(state_.locations, state_.demo_firmware_version, state_.demo_second_version);
  if (workflow_->BeginConfigured() == connect::ConnectWorkflow::Begun::kFatal) {
    QCoreApplication::exit(1);
  }
}

void MainWindow::OpenFirstWhenListed(QWidget* list) {
  open_first_pending_ = false;
  auto* window = qobject_cast<connect::DeviceListWindow*>(list);
  if (window == nullptr) window = list->findChild<connect::DeviceListWindow*>();
  if (window == nullptr) return;
  connect(window, &connect::DeviceListWindow::refreshFinished, this, [this, window] {
    const comm::CommState& cs = state_.comm_state();
    for (int slot = 0; slot <= cs.last_slot; ++slot) {
      if (cs.table[slot].online) {
        window->OpenRow(slot);
        return;
      }
    }
  });
}

void MainWindow::ShowUserGuide() {
  if (user_guide_ == nullptr) user_guide_ = new UserGuideWindow(this);
  user_guide_->show();
  user_guide_->raise();
  user_guide_->activateWindow();
}

void MainWindow::ShowAbout() {
  AboutDialog about(state_, this);
  about.exec();
}

void MainWindow::ShowSettings() {
  const programs::FileLocations defaults =
      programs::FileLocations::OfThisBuild(state_.program_folder);
  SettingsDialog dialog(state_.settings, defaults, this);
  if (dialog.exec() == QDialog::Accepted) {
    state_.locations = FilesSettingsPage::Applied(defaults, state_.settings);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Edits a device never got are named first; agreeing to lose them answers the exit question.
  const std::optional<bool> lose_pending = editors_->MayQuitWithPending();
  const bool quit = lose_pending ? *lose_pending
                                 : state_.messenger().Show(Question(kExitTitle, kExitText)) ==
                                       device::MessageAnswer::kYes;
  if (!quit) {
    event->ignore();
    return;
  }
  state_.comm().keep_alive().Stop();
  connection_timer_->stop();
  // No editor polls or asks while the devices are let go.
  editors_->CloseAllWithoutAsking();
  // Every device is let go whatever it answers: the program ends either way.
  (void)state_.comm().ReleaseAllDevices(false);
  event->accept();
  QCoreApplication::exit(0);
}

}  // namespace tessaly::app
