#pragma once

#include <QWidget>

#include "editor/EditorContext.h"

class QGridLayout;
class QGroupBox;
class QToolButton;

namespace tessaly::editor {

class SettingBinder;

// The device-wide settings of one device: speaker drive, output routing, input source and modes,
// noise generator, links, standby, trigger, sleep, front-panel LEDs and the IP settings. The
// device's family decides which groups show.
class DeviceSettingsPanel : public QWidget {
  Q_OBJECT

 public:
  DeviceSettingsPanel(EditorContext& context, QWidget* parent = nullptr);

 signals:
  // The IP "Setting" button; the window opens the IP settings.
  void ipSettingsRequested();

 private:
  QGroupBox* OutputGroup(const QString& title, model::ParamId id, const QString& object_name);
  QGroupBox* ChoiceGroup(const QString& title, model::ParamId id, const QString& object_name,
                         const QList<int>& order = {});
  QGroupBox* NoiseGroup();
  QGroupBox* LinkGroup();
  QGroupBox* StandbyGroup();
  QGroupBox* TriggerGroup();
  QGroupBox* SleepAndIpGroup();
  void AddSwitch(QGridLayout* grid, int row, const QString& caption, const QString& text,
                 model::ParamId id, const QString& object_name, int channel = -1);
  void ShowStandby(QToolButton* button);

  EditorContext& context_;
  SettingBinder* binder_;
  int device_type_ = 0;
  bool family_b_ = false;
};

}  // namespace tessaly::editor
