#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "device/Messenger.h"
#include "graph/GraphSelection.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;

namespace tessaly::settings {
class Settings;
}

namespace tessaly::graph {

class GraphPlot;
class ResponseCurves;

// The curves of several channels of one device overlaid ("View All"), for either family: one
// check box per channel, per output a choice of the output alone or the output plus one input,
// a legend, and the gain and frequency under the pointer while the button is down. Everything is
// drawn from the stored curve tables; nothing is sent to the device.
class ResponseGraphWindow : public QWidget {
  Q_OBJECT

 public:
  ResponseGraphWindow(const ResponseCurves& curves, int slot, int device_type,
                      device::Messenger& messenger, QWidget* parent = nullptr);

  // Reads the stored tables again (after an edit) and repaints.
  void Redraw();
  const std::vector<ShownCurve>& shown() const { return shown_; }
  GraphPlot* plot() const { return plot_; }
  int slot() const { return slot_; }
  // Both write the whole file or leave what was there before.
  bool ExportCsv(const QString& path) const;
  bool ExportPng(const QString& path) const;
  // Where the export buttons ask for a file (title, filter); tests answer without a dialog.
  using PathChooser = std::function<QString(const QString& title, const QString& filter)>;
  void SetPathChooser(PathChooser chooser) { choose_path_ = std::move(chooser); }
  // Shows the channels and sums last chosen in a graph of this device type, and keeps every
  // new choice for the next one.
  void RememberChoices(settings::Settings& settings);

 private:
  void OnChoiceChanged();
  // Where this device type's choices are kept.
  QString ChoiceKey() const;
  void AskExportCsv();
  void AskExportPng();
  void TellExportFailed(const QString& title, const QString& text);

  const ResponseCurves& curves_;
  device::Messenger& messenger_;
  int slot_;
  int device_type_;
  GraphPlot* plot_ = nullptr;
  std::vector<QCheckBox*> checks_;
  std::vector<QGroupBox*> groups_;  // per channel; nullptr for inputs
  std::vector<QButtonGroup*> sums_;
  std::vector<ShownCurve> shown_;
  PathChooser choose_path_;
  settings::Settings* settings_ = nullptr;
};

}  // namespace tessaly::graph
