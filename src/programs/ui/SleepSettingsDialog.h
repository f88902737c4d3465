#pragma once

#include <QDialog>
#include <array>

#include "programs/SleepTable.h"
#include "programs/ui/ProgramTools.h"

class QLabel;
class QSlider;

namespace tessaly::programs {

// "Edit Sleep mode": five groups of three bytes, each group one time count, sent to the device
// as a group whenever one of its sliders moves.
class SleepSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  SleepSettingsDialog(ProgramTools tools, QWidget* parent = nullptr);

  QSlider* slider(int byte) const { return sliders_[static_cast<size_t>(byte)]; }
  QLabel* time_label(int group) const { return times_[static_cast<size_t>(group)]; }

 private:
  // Recomputes and shows group k; `send` puts it on the line (not while a slider is dragged).
  void UpdateGroup(int group, bool send);

  ProgramTools tools_;
  std::array<QSlider*, kSleepTableSize> sliders_{};
  std::array<QLabel*, kSleepTableSize> values_{};
  std::array<QLabel*, kSleepGroupCount> times_{};
};

}  // namespace tessaly::programs
