#include "programs/ui/RecallProgramDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "device/DeviceTypes.h"
#include "programs/ui/ProgramList.h"

namespace tessaly::programs {

RecallProgramDialog::RecallProgramDialog(ProgramTools tools, QWidget* parent)
    : QDialog(parent),
      tools_(std::move(tools)),
      list_(new QListWidget(this)),
      progress_(new QProgressBar(this)) {
  setObjectName(QStringLiteral("recallProgramDialog"));
  setWindowTitle(QString::fromLatin1(kRecallProgramTitle));
  setModal(true);
  list_->setObjectName(QStringLiteral("programList"));
  progress_->setObjectName(QStringLiteral("recallProgress"));
  list_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00: MMMMMMMMMMMMMMMM")) +
                         40);
  if (const ProgramNameList* names = tools_.names.At(tools_.slot)) {
    FillProgramList(list_, *names, device::LastProgramIndex(tools_.DeviceType()) + 1);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(progress_);
  progress_->hide();
  auto* buttons = new QHBoxLayout;
  auto* close = new QPushButton(QStringLiteral("C&lose"), this);
  auto* recall = new QPushButton(QStringLiteral("&Recall"), this);
  close->setObjectName(QStringLiteral("closeButton"));
  recall->setObjectName(QStringLiteral("recallButton"));
  recall->setDefault(true);
  buttons->addWidget(close);
  buttons->addWidget(recall);
  layout->addLayout(buttons);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(recall, &QPushButton::clicked, this, &RecallProgramDialog::RecallSelected);
  connect(list_, &QListWidget::itemDoubleClicked, this, &RecallProgramDialog::RecallSelected);
}

void RecallProgramDialog::RecallSelected() {
  const int program = list_->currentRow();
  const ProgramNameList* names = tools_.names.At(tools_.slot);
  if (program < 0 || names == nullptr) return;
  if (!ProgramNameList::IsStored(names->program_status[static_cast<size_t>(program)])) {
    tools_.Say(device::MessageIcon::kCritical, QString::fromLatin1(kRecallProgramTitle),
               QString::fromLatin1(kProgramEmptyText));
    return;
  }
  if (const QString why = tools_.memory.WhyNoRecall(tools_.slot); !why.isEmpty()) {
    tools_.Say(device::MessageIcon::kInformation, QString::fromLatin1(kRecallProgramTitle), why);
    return;
  }
  if (tools_.Say(device::MessageIcon::kQuestion, QString::fromLatin1(kRecallProgramTitle),
                 QString::fromLatin1(kOverwriteEditingText),
                 device::MessageButtons::kYesNo) != device::MessageAnswer::kYes) {
    return;
  }
  // The edit buffer about to be overwritten is kept first, or the user agrees to go on without.
  if (tools_.files.KeepEditBufferFirst(tools_.slot, QStringLiteral("Recall")).outcome !=
      FileOutcome::kDone) {
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  progress_->setValue(0);
  progress_->show();
  const TransferResult result = tools_.memory.Recall(tools_.slot, program, tools_.PageChannel(),
                                                     [this](int done, int total, const QString&) {
                                                       progress_->setMaximum(total);
                                                       progress_->setValue(done);
                                                       return true;
                                                     });
  QApplication::restoreOverrideCursor();
  if (result.status == TransferStatus::kDone) recalled_ = program;
  accept();
}

}  // namespace tessaly::programs
