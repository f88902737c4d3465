#include "editor/EqImportDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/EditorSupport.h"
#include "model/EditPath.h"
#include "protocol/ValueLists.h"

namespace tessaly::editor {

EqImportDialog::EqImportDialog(EditorContext& context, model::ImportPlan plan,
                               const QString& file_name, QWidget* parent)
    : QDialog(parent), context_(context), plan_(std::move(plan)) {
  setObjectName(QStringLiteral("eqImportDialog"));
  const QString channel = protocol::ChannelName(DeviceTypeOf(context), plan_.channel);
  setWindowTitle(QStringLiteral("EQ Import - %1").arg(channel));

  auto* source =
      new QLabel(QStringLiteral("%1 into %2").arg(QFileInfo(file_name).fileName(), channel), this);
  table_ = new QTableWidget(this);
  table_->setObjectName(QStringLiteral("importTable"));
  table_->setColumnCount(4);
  table_->setHorizontalHeaderLabels({QStringLiteral("Band"), QStringLiteral("Asked"),
                                     QStringLiteral("Device will hold"),
                                     QStringLiteral("Changed")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->horizontalHeader()->setStretchLastSection(true);

  auto* skipped_title = new QLabel(QStringLiteral("Not taken:"), this);
  skipped_ = new QListWidget(this);
  skipped_->setObjectName(QStringLiteral("skippedList"));
  skipped_->setMaximumHeight(fontMetrics().height() * 6);
  difference_ = new QLabel(this);
  difference_->setObjectName(QStringLiteral("differenceLabel"));

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* apply = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::AcceptRole);
  apply->setObjectName(QStringLiteral("applyButton"));
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(apply, &QPushButton::clicked, this, [this] { Apply(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* column = new QVBoxLayout(this);
  column->addWidget(source);
  column->addWidget(table_, 1);
  column->addWidget(skipped_title);
  column->addWidget(skipped_);
  column->addWidget(difference_);
  column->addWidget(buttons);
  Fill();
  resize(760, 640);
}

void EqImportDialog::Fill() {
  table_->setRowCount(static_cast<int>(plan_.bands.size()));
  int row = 0;
  for (const model::ImportBand& b : plan_.bands) {
    const QString asked = b.asked ? model::DescribeAsked(*b.asked) : QStringLiteral("(left over)");
    QString held = model::DescribeBand(b.held);
    if (b.bypassed_after) held += QStringLiteral(", bypassed");
    const QStringList cells = {QString::number(b.band + 1), asked, held,
                               b.changes.join(QStringLiteral("; "))};
    for (int column = 0; column < cells.size(); ++column) {
      table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    ++row;
  }
  table_->resizeColumnsToContents();
  for (const model::SkippedLine& s : plan_.refused) {
    skipped_->addItem(QStringLiteral("Line %1: %2 (%3)").arg(s.line).arg(s.text, s.reason));
  }
  if (plan_.refused.empty()) skipped_->addItem(QStringLiteral("Every line was taken."));
  difference_->setText(
      QStringLiteral("Largest difference between the asked and the held curve, 20 Hz to 20 kHz: "
                     "%1 dB")
          .arg(QString::number(plan_.largest_difference_db, 'f', 2)));
}

model::EditOutcome EqImportDialog::Apply() {
  const model::EditOutcome out = model::ApplyImport(context_.edits, context_.slot, plan_);
  if (out.status == model::EditStatus::kSendFailed || out.status == model::EditStatus::kRefused) {
    context_.messenger.Show({device::MessageIcon::kExclamation, QStringLiteral("EQ Import"),
                             out.status == model::EditStatus::kSendFailed
                                 ? QStringLiteral("The device did not answer; the import stopped.")
                                 : out.reason,
                             device::MessageButtons::kOk});
  }
  accept();
  return out;
}

}  // namespace tessaly::editor
