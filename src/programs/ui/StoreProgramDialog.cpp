#include "programs/ui/StoreProgramDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "device/DeviceTypes.h"
#include "programs/ui/ProgramList.h"

namespace tessaly::programs {

StoreProgramDialog::StoreProgramDialog(ProgramTools tools, QWidget* parent)
    : QDialog(parent),
      tools_(std::move(tools)),
      list_(new QListWidget(this)),
      combo_(new QComboBox(this)),
      name_(new QLineEdit(this)),
      progress_(new QProgressBar(this)) {
  setObjectName(QStringLiteral("storeProgramDialog"));
  setWindowTitle(QString::fromLatin1(kStoreProgramTitle));
  setModal(true);
  list_->setObjectName(QStringLiteral("programList"));
  combo_->setObjectName(QStringLiteral("programCombo"));
  name_->setObjectName(QStringLiteral("nameEdit"));
  progress_->setObjectName(QStringLiteral("storeProgress"));
  name_->setMaxLength(kProgramNameLength);
  list_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00: MMMMMMMMMMMMMMMM")) +
                         40);

  const int count = device::LastProgramIndex(tools_.DeviceType()) + 1;
  for (int p = 0; p < count; ++p) combo_->addItem(QString::number(p + 1));
  if (const ProgramNameList* names = tools_.names.At(tools_.slot)) {
    FillProgramList(list_, *names, count);
  }

  auto* grid = new QGridLayout(this);
  grid->addWidget(list_, 0, 0, 4, 1);
  grid->addWidget(new QLabel(QStringLiteral("Program"), this), 0, 1);
  grid->addWidget(combo_, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Name"), this), 1, 1);
  grid->addWidget(name_, 1, 2);
  grid->addWidget(progress_, 2, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  auto* close = new QPushButton(QStringLiteral("C&lose"), this);
  auto* store = new QPushButton(QStringLiteral("&Store"), this);
  close->setObjectName(QStringLiteral("closeButton"));
  store->setObjectName(QStringLiteral("storeButton"));
  store->setDefault(true);
  buttons->addWidget(close);
  buttons->addWidget(store);
  grid->addLayout(buttons, 3, 1, 1, 2, Qt::AlignBottom);
  progress_->setValue(0);
  progress_->hide();

  connect(list_, &QListWidget::currentRowChanged, this, &StoreProgramDialog::SelectRow);
  connect(name_, &QLineEdit::textEdited, this, &StoreProgramDialog::CheckName);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(store, &QPushButton::clicked, this, &StoreProgramDialog::StoreSelected);
  SelectRow(0);
}

void StoreProgramDialog::SelectRow(int row) {
  if (row < 0 || row >= list_->count()) return;
  // The line from its fifth character on is the name.
  name_->setText(list_->item(row)->text().mid(4));
  combo_->setCurrentIndex(row);
}

void StoreProgramDialog::CheckName(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() > 127) {
      tools_.Say(device::MessageIcon::kInformation, QString(), QString::fromUtf8(kNameSymbolsText));
      name_->clear();
      return;
    }
  }
}

void StoreProgramDialog::StoreSelected() {
  const QString name = name_->text();
  if (name.isEmpty() || name == QStringLiteral(" ")) {
    tools_.Say(device::MessageIcon::kInformation, QString::fromLatin1(kEditNamesTitle),
               QString::fromLatin1(kInputNameText));
    return;
  }
  if (tools_.Say(device::MessageIcon::kQuestion, QString::fromLatin1(kStoreProgramTitle),
                 QString::fromLatin1(kAreYouSureText),
                 device::MessageButtons::kYesNo) != device::MessageAnswer::kYes) {
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const int program = combo_->currentIndex();
  progress_->setMaximum(kStoreProgressMax);
  progress_->setValue(0);
  progress_->show();
  const TransferResult result =
      tools_.memory.Store(tools_.slot, program, name, [this](int done, int, const QString&) {
        progress_->setValue(done);
        return true;
      });
  QApplication::restoreOverrideCursor();
  // A lost exchange was reported by the exchange layer; the window closes as after success.
  if (result.status == TransferStatus::kDone) stored_ = program;
  accept();
}

}  // namespace tessaly::programs
