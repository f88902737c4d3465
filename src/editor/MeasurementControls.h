#pragma once

#include <QGroupBox>

#include "editor/EditorContext.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;

namespace tessaly::editor {

// A channel's measurements on its graph: load one (or drop a file on the graph), clear them, the
// offset that aligns their level, the smoothing they are drawn with, and the device type's
// session file that keeps them. Nothing here is sent to the device.
class MeasurementControls : public QGroupBox {
  Q_OBJECT

 public:
  // `graph` is the widget that takes dropped files.
  MeasurementControls(EditorContext& context, int channel, QWidget* graph,
                      QWidget* parent = nullptr);

  // Reads a measurement file into the channel; a file that cannot be read is named, with its
  // line, in a message box and nothing changes.
  bool Load(const QString& path);
  bool SaveSession(const QString& path);
  bool LoadSession(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();
  void Warn(const QString& text);

  EditorContext& context_;
  int channel_;
  QDoubleSpinBox* offset_ = nullptr;
  QComboBox* smoothing_ = nullptr;
  QLabel* note_ = nullptr;
};

}  // namespace tessaly::editor
