#include "programs/ui/ChannelCopyDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "device/DeviceTypes.h"

namespace tessaly::programs {

ChannelCopyDialog::ChannelCopyDialog(ProgramTools tools, CopyMode mode, QWidget* parent)
    : QDialog(parent),
      tools_(std::move(tools)),
      mode_(mode),
      source_(new QComboBox(this)),
      destination_(new QComboBox(this)) {
  const CopyCaptions captions = CopyCaptionsOf(mode_, device::IsFamilyB(tools_.DeviceType()));
  setObjectName(QStringLiteral("channelCopyDialog"));
  setWindowTitle(captions.window);
  setModal(true);
  source_->setObjectName(QStringLiteral("sourceCombo"));
  destination_->setObjectName(QStringLiteral("destinationCombo"));
  auto* layout = new QVBoxLayout(this);
  auto* frames = new QHBoxLayout;
  for (auto [combo, caption] : {std::pair(source_, captions.source_frame),
                                std::pair(destination_, captions.destination_frame)}) {
    combo->addItems(captions.items);
    combo->setCurrentIndex(0);
    auto* frame = new QGroupBox(caption, this);
    auto* inside = new QVBoxLayout(frame);
    inside->addWidget(combo);
    frames->addWidget(frame);
  }
  layout->addLayout(frames);
  auto* buttons = new QHBoxLayout;
  auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
  auto* close = new QPushButton(QStringLiteral("C&lose"), this);
  copy->setObjectName(QStringLiteral("copyButton"));
  close->setObjectName(QStringLiteral("closeButton"));
  copy->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(copy);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(copy, &QPushButton::clicked, this, &ChannelCopyDialog::CopySelected);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void ChannelCopyDialog::CopySelected() {
  const int from = source_->currentIndex();
  const int to = destination_->currentIndex();
  if (from == to) {
    tools_.Say(device::MessageIcon::kCritical, QString::fromLatin1(kCopyTitle),
               QString::fromLatin1(kCopySameText));
    return;
  }
  if (tools_.Say(device::MessageIcon::kQuestion, QString::fromLatin1(kCopyTitle),
                 QString::fromLatin1(kAreYouSureText),
                 device::MessageButtons::kYesNo) != device::MessageAnswer::kYes) {
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  (void)tools_.copier.Copy(tools_.slot, mode_, from, to, tools_.PageChannel());
  QApplication::restoreOverrideCursor();
  accept();
}

}  // namespace tessaly::programs
