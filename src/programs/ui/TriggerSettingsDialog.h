#pragma once

#include <QDialog>

#include "programs/DeviceExtras.h"
#include "programs/ui/ProgramTools.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace tessaly::programs {

// "Trigger Settings": the polarity of the trigger input and output lines, whether the input is
// watched, and whether the output follows the standby state.
class TriggerSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  TriggerSettingsDialog(ProgramTools tools, QWidget* parent = nullptr);

  // Writes the record's trigger bytes, sends them where the device has the lines, closes.
  void Confirm();
  TriggerSettings Settings() const;

  QCheckBox* enable_check() const { return enable_; }
  QCheckBox* mirroring_check() const { return mirroring_; }
  QComboBox* input_combo() const { return input_; }
  QComboBox* output_combo() const { return output_; }
  QLabel* indicator() const { return indicator_; }

 private:
  void ShowEnabled();
  void ShowMirroring();

  ProgramTools tools_;
  QCheckBox* enable_;
  QCheckBox* mirroring_;
  QComboBox* input_;
  QComboBox* output_;
  QLabel* output_caption_;
  QLabel* indicator_;
};

}  // namespace tessaly::programs
