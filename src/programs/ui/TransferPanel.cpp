#include "programs/ui/TransferPanel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaly::programs {

TransferPanel::TransferPanel(QWidget* parent)
    : QWidget(parent),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
  label_->setObjectName(QStringLiteral("waitLabel"));
  bar_->setObjectName(QStringLiteral("transferProgress"));
  cancel_->setObjectName(QStringLiteral("cancelTransferButton"));
  cancel_->setToolTip(QStringLiteral("Stop after the exchange under way"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(label_);
  auto* row = new QHBoxLayout;
  row->addWidget(bar_, 1);
  row->addWidget(cancel_);
  layout->addLayout(row);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    cancelled_ = true;
    cancel_->setEnabled(false);
  });
  bar_->setValue(0);
  cancel_->setEnabled(false);
}

void TransferPanel::Start() {
  cancelled_ = false;
  bar_->setValue(0);
  cancel_->setEnabled(true);
  show();
}

void TransferPanel::Finish() { cancel_->setEnabled(false); }

TransferProgress TransferPanel::Tracker() {
  return [this](int done, int total, const QString& label) {
    bar_->setMaximum(std::max(total, 1));
    bar_->setValue(std::min(done, std::max(total, 1)));
    if (!label.isEmpty()) label_->setText(label);
    // Cancel is the one control that works while the transfer runs.
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
    return !cancelled_;
  };
}

}  // namespace tessaly::programs
