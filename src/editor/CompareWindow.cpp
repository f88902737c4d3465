#include "editor/CompareWindow.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "protocol/ValueLists.h"

namespace tessaly::editor {
namespace {

enum Column { kParameter, kPc, kDevice, kTake, kColumns };
constexpr int kRowRole = Qt::UserRole;

}  // namespace

CompareWindow::CompareWindow(const QString& device_text, int device_type, QWidget* parent)
    : QDialog(parent), device_type_(device_type) {
  setObjectName(QStringLiteral("compareWindow"));
  setWindowTitle(QString::fromLatin1(kCompareTitle) + QStringLiteral(" - ") + device_text);
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("compareSummary"));
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  tree_ = new QTreeWidget(this);
  tree_->setObjectName(QStringLiteral("differenceTree"));
  tree_->setColumnCount(kColumns);
  tree_->setHeaderLabels({QStringLiteral("Parameter"), QStringLiteral("PC"),
                          QStringLiteral("Device"), QStringLiteral("Take device value")});
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  tree_->setAlternatingRowColors(true);
  // The dark palette draws tick boxes almost black on black; the choice is the point of the window.
  tree_->setStyleSheet(
      QStringLiteral("QTreeView::indicator { width: 9px; height: 9px; border: 1px solid #a0a8b0;"
                     " border-radius: 2px; background: #1e1f22; }"
                     "QTreeView::indicator:checked { background: #e67e22; border-color: #f0a060; }"
                     "QTreeView::indicator:indeterminate { background: #8a5a30; }"));
  layout->addWidget(tree_, 1);

  auto* buttons = new QDialogButtonBox(this);
  const auto add = [&](const QString& text, const char* name, QDialogButtonBox::ButtonRole role) {
    QPushButton* button = buttons->addButton(text, role);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
  };
  QPushButton* send =
      add(QStringLiteral("Send PC values to device"), "sendPcButton", QDialogButtonBox::ActionRole);
  QPushButton* take =
      add(QStringLiteral("Take device values"), "takeDeviceButton", QDialogButtonBox::ActionRole);
  QPushButton* apply =
      add(QStringLiteral("Apply choices"), "applyChoicesButton", QDialogButtonBox::ActionRole);
  apply->setToolTip(
      QStringLiteral("Send the PC's value of each row left unticked and take the "
                     "device's value of each ticked row"));
  QPushButton* later =
      add(QStringLiteral("Decide later"), "laterButton", QDialogButtonBox::RejectRole);
  later->setToolTip(QStringLiteral("Change nothing; pending edits stay marked"));
  connect(send, &QPushButton::clicked, this, &CompareWindow::sendPcValues);
  connect(take, &QPushButton::clicked, this, &CompareWindow::takeDeviceValues);
  connect(apply, &QPushButton::clicked, this, &CompareWindow::applyChoices);
  connect(later, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(640, 480);
}

void CompareWindow::ShowDifferences(const std::vector<programs::ParameterDifference>& differences) {
  shown_ = differences;
  tree_->clear();
  int pending = 0;
  QTreeWidgetItem* group = nullptr;
  int group_channel = -2;
  for (size_t i = 0; i < shown_.size(); ++i) {
    const programs::ParameterDifference& d = shown_[i];
    if (group == nullptr || d.channel != group_channel) {
      group_channel = d.channel;
      group = new QTreeWidgetItem(tree_);
      group->setText(kParameter, d.channel < 0 ? QStringLiteral("Program and device")
                                               : protocol::ChannelName(device_type_, d.channel));
      // Ticking a channel ticks its rows: one choice for the whole channel.
      group->setFlags(group->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
      group->setCheckState(kTake, Qt::Unchecked);
      group->setExpanded(true);
      QFont bold = group->font(kParameter);
      bold.setBold(true);
      group->setFont(kParameter, bold);
    }
    auto* row = new QTreeWidgetItem(group);
    row->setText(kParameter, d.pending ? QStringLiteral("\u25CF ") + d.caption : d.caption);
    if (d.pending) {
      row->setToolTip(kParameter, QStringLiteral("Edited here, never acknowledged by the device"));
      ++pending;
    }
    row->setText(kPc, d.pc_shown);
    row->setText(kDevice, d.device_shown);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    row->setCheckState(kTake, Qt::Unchecked);
    row->setData(kParameter, kRowRole, static_cast<int>(i));
  }
  const int count = static_cast<int>(shown_.size());
  summary_->setText(
      QStringLiteral("The device holds %1 value%2 other than this editor (%3 pending here). "
                     "Tick the rows whose device value you want to keep.")
          .arg(count)
          .arg(count == 1 ? QString() : QStringLiteral("s"))
          .arg(pending));
}

std::vector<connect::ResyncChoice> CompareWindow::Choices() const {
  std::vector<connect::ResyncChoice> choices;
  for (int g = 0; g < tree_->topLevelItemCount(); ++g) {
    const QTreeWidgetItem* group = tree_->topLevelItem(g);
    for (int r = 0; r < group->childCount(); ++r) {
      const QTreeWidgetItem* row = group->child(r);
      const int index = row->data(kParameter, kRowRole).toInt();
      if (index < 0 || index >= static_cast<int>(shown_.size())) continue;
      choices.push_back(
          {shown_[static_cast<size_t>(index)], row->checkState(kTake) == Qt::Checked});
    }
  }
  return choices;
}

}  // namespace tessaly::editor
