#include "connect/ui/DeviceListWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
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
    : QWidget(parent), context_(context), hooks_(std::move(hooks)), list_(context) {
  setObjectName(QStringLiteral("deviceListWindow"));
  setWindowTitle(QStringLiteral("Device List"));
  auto* layout = new QVBoxLayout(this);
  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("deviceTable"));
  grid_->setColumnCount(1);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  // A row is one line: the column grows with its longest text instead of wrapping it.
  grid_->setWordWrap(false);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(grid_);
  summary_label_ = new QLabel(context_.session.scan_summary, this);
  summary_label_->setObjectName(QStringLiteral("scanSummaryLabel"));
  summary_label_->setToolTip(context_.session.scan_details);
  summary_label_->setVisible(!context_.session.scan_summary.isEmpty());
  layout->addWidget(summary_label_);
  status_label_ = new QLabel(this);
  status_label_->setObjectName(QStringLiteral("statusLabel"));
  status_label_->hide();
  layout->addWidget(status_label_);
  progress_bar_ = new QProgressBar(this);
  progress_bar_->setObjectName(QStringLiteral("progressBar"));
  progress_bar_->hide();
  layout->addWidget(progress_bar_);

  connect(&context_.comm, &comm::Comm::rowTextChanged, this, &DeviceListWindow::SetRow);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { OpenRow(row); });

  list_.Load();
  const int rows = std::max(0, list_.RowCount());
  grid_->setRowCount(rows);
  grid_->setColumnWidth(0, kColumnWidthPx);
  for (int row = 0; row < rows; ++row) {
    SetRow(row, context_.comm.state().row_text[static_cast<size_t>(row)]);
  }

  const auto make_timer = [this](const char* name, int interval_ms) {
    auto* timer = new QTimer(this);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setSingleShot(true);
    timer->setInterval(interval_ms);
    return timer;
  };
  refresh_timer_ = make_timer("refreshTimer", kRefreshDelayMs);
  row_timer_ = make_timer("rowTimer", kRowPauseMs);
  identify_timer_ = make_timer("identifyTimer", kIdentifyPauseMs);
  connect(refresh_timer_, &QTimer::timeout, this, &DeviceListWindow::OnRefreshTimer);
  connect(row_timer_, &QTimer::timeout, this, &DeviceListWindow::OnRowTimer);
  connect(identify_timer_, &QTimer::timeout, this, &DeviceListWindow::OnIdentifyTimer);
  refresh_timer_->start();
}

void DeviceListWindow::SetRow(int slot, const QString& text) {
  if (slot < 0 || slot >= grid_->rowCount()) return;
  QTableWidgetItem* item = grid_->item(slot, 0);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    grid_->setItem(slot, 0, item);
  }
  const int pending = pending_counts_[static_cast<size_t>(slot)];
  item->setText(pending == 0 ? text : text + QStringLiteral(" - %1 pending").arg(pending));
  FitColumn();
}

void DeviceListWindow::ShowPendingCount(int slot, int count) {
  if (!comm::IsValidSlot(slot)) return;
  pending_counts_[static_cast<size_t>(slot)] = count;
  SetRow(slot, context_.comm.state().row_text[static_cast<size_t>(slot)]);
}

void DeviceListWindow::FitColumn() {
  grid_->resizeColumnToContents(0);
  const int text_width = std::max(kColumnWidthPx, grid_->columnWidth(0));
  const int chrome = grid_->frameWidth() * 2 + grid_->verticalScrollBar()->sizeHint().width();
  grid_->setMinimumWidth(text_width + chrome);
}

void DeviceListWindow::OnRefreshTimer() {
  grid_->setEnabled(false);
  next_row_ = 0;
  OnRowTimer();
}

// One row per step, 50 ms apart, so the rows appear one by one.
void DeviceListWindow::OnRowTimer() {
  if (next_row_ < grid_->rowCount()) {
    list_.RefreshRow(next_row_++);
    row_timer_->start();
    return;
  }
  context_.comm.keep_alive().Start();
  grid_->setEnabled(true);
  status_label_->hide();
  QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
  frame->move(kPlacePx, kPlacePx);
  refreshing_ = false;
  emit refreshFinished();
}

OpenResult DeviceListWindow::OpenRow(int row) {
  if (identify_timer_->isActive()) return {};  // the last opening is not over yet
  const comm::DeviceTable& table = context_.comm.state().table;
  if (row >= 0 && row <= comm::kLastSlot && table[row].editor_open &&
      table.device_needs_read[static_cast<size_t>(row)] && hooks_.reconnect_editor) {
    hooks_.reconnect_editor(row);
    OpenResult result;
    result.outcome = OpenOutcome::kAlreadyOpen;
    return result;
  }
  grid_->setEnabled(false);
  ConnectHooks hooks = WidgetHooks(status_label_, progress_bar_);
  if (row >= 0 && row <= comm::kLastSlot) {
    status_label_->setText(ReadingDeviceText(context_.comm.state().table[row].device_id));
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  OpenResult result = list_.OpenDevice(row, hooks);
  QApplication::restoreOverrideCursor();
  if (result.outcome == OpenOutcome::kReady) {
    opening_slot_ = row;
    opening_hold_.reset();
    if (result.hold) opening_hold_.emplace(std::move(*result.hold));
    identify_timer_->start();
  } else {
    EndOpening();
  }
  return result;
}

void DeviceListWindow::OnIdentifyTimer() {
  list_.Identify(opening_slot_);
  ShowEditorWindow(opening_slot_);
  EndOpening();
}

void DeviceListWindow::EndOpening() {
  opening_hold_.reset();
  progress_bar_->hide();
  status_label_->hide();
  grid_->setEnabled(true);
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
  if (!context_.comm.online_mode()) {
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
