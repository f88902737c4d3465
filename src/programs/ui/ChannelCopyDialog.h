#pragma once

#include <QDialog>

#include "programs/ChannelCopy.h"
#include "programs/ui/ProgramTools.h"

class QComboBox;

namespace tessaly::programs {

// "Output Copy" / "Input Copy": copies one channel's processing onto another channel.
class ChannelCopyDialog : public QDialog {
  Q_OBJECT

 public:
  ChannelCopyDialog(ProgramTools tools, CopyMode mode, QWidget* parent = nullptr);

  // Button 0: refuses the same channel, asks, copies, closes.
  void CopySelected();
  QComboBox* source() const { return source_; }
  QComboBox* destination() const { return destination_; }

 private:
  ProgramTools tools_;
  CopyMode mode_;
  QComboBox* source_;
  QComboBox* destination_;
};

}  // namespace tessaly::programs
