#include "programs/ui/ProjectDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "programs/ProgramFiles.h"
#include "programs/ui/TransferPanel.h"

namespace tessaly::programs {

ProjectDialog::ProjectDialog(ProgramTools tools, Mode mode, ProjectBuffer project, QWidget* parent)
    : QDialog(parent),
      tools_(std::move(tools)),
      mode_(mode),
      project_(std::move(project)),
      panel_(new TransferPanel(this)),
      close_(new QPushButton(QStringLiteral("C&lose"), this)),
      action_(new QPushButton(this)) {
  const bool save = mode_ == Mode::kSave;
  setObjectName(QStringLiteral("projectDialog"));
  setWindowTitle(QString::fromLatin1(save ? kSaveProjectTitle : kStoreProjectTitle));
  setModal(true);
  close_->setObjectName(QStringLiteral("closeButton"));
  action_->setObjectName(save ? QStringLiteral("saveButton") : QStringLiteral("storeButton"));
  action_->setText(save ? QStringLiteral("&Save")
                        : QStringLiteral("&") + QString::fromLatin1(kStoreToDeviceTitle));
  action_->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  auto* frame = new QGroupBox(this);
  frame->setObjectName(save ? QStringLiteral("saveFrame") : QStringLiteral("storeFrame"));
  auto* inside = new QVBoxLayout(frame);
  const FileType* type = FileTypeOf(tools_.DeviceType());
  const int count = type != nullptr ? type->program_count : 0;
  inside->addWidget(new QLabel(
      save ? QStringLiteral("Reads all %1 programs of the device into a project file.").arg(count)
           : QStringLiteral("Writes all %1 programs of the project into the device's memory, "
                            "replacing every program it holds.")
                 .arg(count),
      frame));
  if (!save) {
    backup_ = new QCheckBox(
        QStringLiteral("Keep the device's programs in the backups folder first"), frame);
    verify_ = new QCheckBox(QStringLiteral("Read the programs back and compare afterwards"), frame);
    backup_->setObjectName(QStringLiteral("backupCheck"));
    verify_->setObjectName(QStringLiteral("verifyCheck"));
    backup_->setToolTip(QStringLiteral("Doubles the time the store takes"));
    backup_->setChecked(true);
    verify_->setChecked(true);
    inside->addWidget(backup_);
    inside->addWidget(verify_);
  }
  inside->addWidget(panel_);
  layout->addWidget(frame);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(close_);
  buttons->addWidget(action_);
  layout->addLayout(buttons);
  connect(close_, &QPushButton::clicked, this, &QDialog::reject);
  connect(action_, &QPushButton::clicked, this,
          save ? &ProjectDialog::SaveToFile : &ProjectDialog::StoreToDevice);
}

void ProjectDialog::Busy(bool busy) {
  close_->setEnabled(!busy);
  action_->setEnabled(!busy);
  if (busy) {
    panel_->Start();
  } else {
    panel_->Finish();
  }
}

QString ProjectDialog::Detail(const FileResult& result) const {
  QString text = result.message;
  if (!result.backup.isEmpty()) {
    text += QStringLiteral("\nThe device's former programs are kept in %1.")
                .arg(QDir::toNativeSeparators(result.backup));
  }
  return text.trimmed();
}

void ProjectDialog::SaveToFile() {
  if (!tools_.Online()) {
    tools_.Say(device::MessageIcon::kNone, QString::fromLatin1(kSaveProjectTitle),
               QString::fromLatin1(kOnlineOnlyText));
    return;
  }
  const FileType* type = FileTypeOf(tools_.DeviceType());
  if (type == nullptr) return;
  Busy(true);
  const QString folder = ProjectFolder(tools_.files.locations().documents, *type);
  QDir().mkpath(folder);
  const QString path =
      tools_.choose_file(this, true, folder, QString::fromLatin1(type->project_save_filter));
  if (path.isEmpty()) {
    Busy(false);
    return;
  }
  const FileResult result = tools_.files.SaveProject(tools_.slot, path, panel_->Tracker());
  Busy(false);
  if (result.outcome == FileOutcome::kDone) saved_file_ = path;
  if (result.outcome != FileOutcome::kDone && !result.message.isEmpty()) {
    tools_.Say(result.outcome == FileOutcome::kCancelled ? device::MessageIcon::kInformation
                                                         : device::MessageIcon::kCritical,
               QString::fromLatin1(kSaveProjectTitle), result.message);
  }
  accept();
}

void ProjectDialog::StoreToDevice() {
  if (!tools_.Online()) {
    tools_.Say(device::MessageIcon::kNone, QString::fromLatin1(kStoreToDeviceTitle),
               QString::fromLatin1(kOnlineOnlyText));
    return;
  }
  Busy(true);
  StoreOptions options;
  options.backup = backup_->isChecked();
  options.verify = verify_->isChecked();
  const FileResult result =
      tools_.files.StoreProject(tools_.slot, project_, options, panel_->Tracker());
  Busy(false);
  // Declined at the backup question: the window stays, the user may store without one.
  if (result.outcome == FileOutcome::kDeclined) return;
  if (result.outcome == FileOutcome::kDone) {
    tools_.Say(device::MessageIcon::kExclamation, QString::fromLatin1(kStoreToDeviceTitle),
               QString::fromLatin1(kMemoryUpdatedText));
  } else {
    tools_.Say(
        device::MessageIcon::kCritical, QString::fromLatin1(kStoreToDeviceTitle),
        (QString::fromLatin1(kStoreFailedText) + QLatin1Char('\n') + Detail(result)).trimmed());
  }
  accept();
}

}  // namespace tessaly::programs
