#include "editor/DeviceSync.h"

#include <QAction>
#include <QApplication>
#include <QProgressDialog>
#include <QToolBar>

#include "connect/ConnectRuntime.h"
#include "device/DeviceTypes.h"
#include "editor/CompareWindow.h"
#include "editor/EditorCore.h"
#include "editor/EditorWindow.h"

namespace tessaly::editor {
namespace {

// The busy pointer for as long as a sequence blocks the window.
class BusyPointer {
 public:
  BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyPointer() { QApplication::restoreOverrideCursor(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace

DeviceSync::DeviceSync(EditorWindow& window, EditorCore& core, connect::ConnectRuntime& runtime)
    : QObject(&window),
      window_(window),
      core_(core),
      runtime_(runtime),
      resync_(runtime.context, core.edits, core.whole_program) {
  setObjectName(QStringLiteral("deviceSync"));
  connect(&window_, &EditorWindow::reconnectRequested, this, &DeviceSync::Reconnect);
  QToolBar* tools = window_.toolBar();
  send_all_ = tools->addAction(QString::fromLatin1(kSendAllTitle));
  send_all_->setObjectName(QStringLiteral("sendAllAction"));
  send_all_->setToolTip(QStringLiteral("Write the whole program of this editor to the device"));
  connect(send_all_, &QAction::triggered, this, &DeviceSync::SendAll);
  QAction* reread = tools->addAction(QStringLiteral("Re-read from device"));
  reread->setObjectName(QStringLiteral("rereadAction"));
  reread->setToolTip(
      QStringLiteral("Read the device again and show what it holds otherwise; nothing is "
                     "overwritten without your choice"));
  connect(reread, &QAction::triggered, this, [this] { Reread(false); });
  QAction* compare = tools->addAction(QStringLiteral("Compare with device\u2026"));
  compare->setObjectName(QStringLiteral("compareAction"));
  connect(compare, &QAction::triggered, this, [this] { Reread(true); });
}

bool DeviceSync::Offline() const {
  const comm::DeviceTable& table = runtime_.context.comm.state().table;
  const int slot = window_.slot();
  return window_.offline() || !table[slot].online ||
         table.device_needs_read[static_cast<size_t>(slot)];
}

void DeviceSync::Tell(const QString& text) {
  window_.context().messenger.Show({device::MessageIcon::kInformation,
                                    QString::fromLatin1(kCompareTitle), text,
                                    device::MessageButtons::kOk});
}

void DeviceSync::Reconnect() {
  connect::ResyncStatus status;
  {
    const BusyPointer busy;
    status = resync_.Reconnect(window_.slot(), {});
  }
  AfterRead(status, false);
}

void DeviceSync::Reread(bool tell_equal) {
  if (Offline()) {
    Reconnect();
    return;
  }
  connect::ResyncStatus status;
  {
    const BusyPointer busy;
    status = resync_.Reread(window_.slot(), {});
  }
  AfterRead(status, tell_equal);
}

void DeviceSync::AfterRead(connect::ResyncStatus status, bool tell_equal) {
  switch (status) {
    case connect::ResyncStatus::kEqual:
      window_.ShowOnline();
      if (compare_ != nullptr) compare_->accept();
      if (tell_equal) Tell(QString::fromLatin1(kEqualText));
      emit inStep();
      return;
    case connect::ResyncStatus::kDifferent:
      window_.ShowOnline();
      ShowCompare();
      return;
    case connect::ResyncStatus::kGone:
    case connect::ResyncStatus::kOtherType:
    case connect::ResyncStatus::kReadFailed:
      // The user was told; the editor stays as it was, its pending edits with it.
      return;
  }
}

void DeviceSync::ShowCompare() {
  if (compare_ == nullptr) {
    const int type = runtime_.context.comm.state().table.device_type[window_.slot()];
    compare_ = new CompareWindow(window_.DeviceText(), type, &window_);
    compare_->setAttribute(Qt::WA_DeleteOnClose);
    connect(compare_, &CompareWindow::sendPcValues, this, [this] {
      std::vector<connect::ResyncChoice> choices = compare_->Choices();
      for (connect::ResyncChoice& c : choices) c.take_device = false;
      ApplyChoices(std::move(choices));
    });
    connect(compare_, &CompareWindow::takeDeviceValues, this, &DeviceSync::TakeAll);
    connect(compare_, &CompareWindow::applyChoices, this,
            [this] { ApplyChoices(compare_->Choices()); });
  }
  compare_->ShowDifferences(resync_.differences());
  compare_->show();
  compare_->raise();
  emit compareShown();
}

void DeviceSync::ApplyChoices(std::vector<connect::ResyncChoice> choices) {
  connect::ResyncStatus status;
  {
    const BusyPointer busy;
    status = resync_.Apply(window_.slot(), choices, {});
  }
  AfterRead(status, false);
}

void DeviceSync::TakeAll() {
  resync_.TakeAll(window_.slot());
  if (compare_ != nullptr) compare_->accept();
  emit inStep();
}

void DeviceSync::SendAll() {
  if (Offline()) {
    window_.context().messenger.Show(
        {device::MessageIcon::kExclamation, QString::fromLatin1(kSendAllTitle),
         QString::fromLatin1(kOfflineFirstText), device::MessageButtons::kOk});
    return;
  }
  QProgressDialog progress(QStringLiteral("Sending the program to the device\u2026"),
                           QStringLiteral("Cancel"), 0, 1, &window_);
  progress.setObjectName(QStringLiteral("sendAllProgress"));
  progress.setWindowTitle(QString::fromLatin1(kSendAllTitle));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  const int channel = window_.PageChannel(window_.current_page());
  const programs::WriteResult written = core_.whole_program.WriteImage(
      window_.slot(), channel >= 0 ? std::optional<int>(channel) : std::nullopt,
      [&progress](int step, int total) {
        progress.setMaximum(total);
        progress.setValue(step);
      },
      [&progress] {
        QCoreApplication::processEvents();
        return progress.wasCanceled();
      });
  progress.reset();
  if (written.status == programs::WriteStatus::kSendFailed) return;  // the loss was told
  // The read-back settles the pending marks: what the device now holds is no longer pending.
  connect::ResyncStatus status;
  {
    const BusyPointer busy;
    status = resync_.Reread(window_.slot(), {});
  }
  if (written.status == programs::WriteStatus::kCancelled) return;
  AfterRead(status, false);
}

DeviceSync* InstallDeviceSync(EditorWindow& window, EditorCore& core,
                              connect::ConnectRuntime& runtime) {
  return new DeviceSync(window, core, runtime);
}

}  // namespace tessaly::editor
