#include "connect/ui/DeviceListWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include "connect/UsbConnect.h"
#include "connect/ui/UsbConnectDialog.h"

namespace tessaly::connect {
namespace {
constexpr int kRefreshDelayMs = 300;
constexpr int kColumnWidthPx = 2985 / 15;  // twips at 96 dpi
constexpr int kPlacePx = 100;
}  // namespace

DeviceListWindow::DeviceListWindow(ConnectContext& context, Hooks hooks, QWidget* parent)
    : QWidget(parent), context_(context), hooks_(std::move(hooks)), list_(context, [](int ms) {
        // The rows appear one by one while the list is refreshed.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(static_cast<unsigned long>(ms));
      }) {
  setObjectName(QStringLiteral("DeviceListWindow"));
  setWindowTitle(QStringLiteral("Device List"));
  auto* layout = new QVBoxLayout(this);
  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
  grid_->setColumnCount(1);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(grid_);
  label2_ = new QLabel(this);
  label2_->setObjectName(QStringLiteral("Label2"));
  label2_->hide();
  layout->addWidget(label2_);
  progress_bar1_ = new QProgressBar(this);
  progress_bar1_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_bar1_->hide();
  layout->addWidget(progress_bar1_);

  connect(&context_.comm, &comm::Comm::RowTextChanged, this, &DeviceListWindow::SetRow);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { OpenRow(row); });

  list_.Load();
  const int rows = std::max(0, list_.RowCount());
  grid_->setRowCount(rows);
  grid_->setColumnWidth(0, kColumnWidthPx);
  for (int row = 0; row < rows; ++row) {
    SetRow(row, context_.comm.state().row_text[static_cast<size_t>(row)]);
  }

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setSingleShot(true);
  timer1_->setInterval(kRefreshDelayMs);
  connect(timer1_, &QTimer::timeout, this, &DeviceListWindow::Timer1Tick);
  timer1_->start();
}

void DeviceListWindow::SetRow(int slot, const QString& text) {
  if (slot < 0 || slot >= grid_->rowCount()) return;
  QTableWidgetItem* item = grid_->item(slot, 0);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    grid_->setItem(slot, 0, item);
  }
  item->setText(text);
}

void DeviceListWindow::Timer1Tick() {
  timer1_->stop();
  grid_->setEnabled(false);
  list_.RefreshRows();
  if (hooks_.start_keep_alive && !(hooks_.keep_alive_running && hooks_.keep_alive_running())) {
    hooks_.start_keep_alive();
  }
  grid_->setEnabled(true);
  label2_->hide();
  if (hooks_.restart_menu_timer) hooks_.restart_menu_timer();
  QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
  frame->move(kPlacePx, kPlacePx);
}

OpenResult DeviceListWindow::OpenRow(int row) {
  grid_->setEnabled(false);
  ConnectHooks hooks = WidgetHooks(label2_, progress_bar1_);
  if (row >= 0 && row <= comm::kLastSlot) {
    label2_->setText(ReadingDeviceText(context_.comm.state().table[row].device_id));
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const OpenResult result = list_.OpenDevice(row, hooks);
  QApplication::restoreOverrideCursor();
  if (result.outcome == OpenOutcome::kReady) ShowEditorWindow(row);
  progress_bar1_->hide();
  label2_->hide();
  grid_->setEnabled(true);
  return result;
}

void DeviceListWindow::ShowEditorWindow(int slot) {
  if (hooks_.show_editor) {
    hooks_.show_editor(slot);
    return;
  }
  if (auto* main = qobject_cast<QMainWindow*>(window())) {
    main->statusBar()->showMessage(QString::fromLatin1(kEditorMissingText));
  }
}

void DeviceListWindow::closeEvent(QCloseEvent* event) {
  // The list goes only with on-line mode; otherwise closing just tucks it away.
  if (!context_.comm.state().online_mode) {
    event->accept();
    return;
  }
  event->ignore();
  QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
  if (frame->isMinimized()) {
    frame->showNormal();
  } else {
    frame->showMinimized();
  }
}

}  // namespace tessaly::connect
