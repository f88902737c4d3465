#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <map>
#include <utility>
#include <vector>

#include "graph/Measurement.h"

namespace tessaly::graph {

struct LoadedMeasurement {
  QString name;  // the file's name, as the legend shows it
  Measurement data;
};

// What the graphs of one channel show besides its curve: measurements, the offset that aligns
// their level and the smoothing they are drawn with.
struct ChannelMeasurements {
  std::vector<LoadedMeasurement> items;
  double offset_db = 0.0;
  int smoothing = 0;  // N of 1/N octave; 0 none
};

// Measurements and band locks of every device slot: a part of the view, never sent to a device.
// The editor page's graph and the graph window of a slot read the same entries.
class MeasurementBook : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // The entries of a channel; an empty set for a channel without measurements.
  const ChannelMeasurements& Of(int slot, int channel) const;
  void Add(int slot, int channel, LoadedMeasurement measurement);
  void Clear(int slot, int channel);
  void SetOffset(int slot, int channel, double offset_db);
  void SetSmoothing(int slot, int channel, int fraction);
  // Locked bands (device-wide band numbers) keep their settings when a target is matched.
  bool Locked(int slot, int band) const;
  void SetLocked(int slot, int band, bool locked);
  // Forgets everything of a slot.
  void ReleaseSlot(int slot);

  // The slot's measurements and locks as the session file holds them, for one device type.
  QJsonObject SessionJson(int slot, int device_type) const;
  // Replaces the slot's entries with a session's; false (and nothing changed) when the session
  // is of another device type or not readable, with a sentence in `error`.
  bool LoadSession(int slot, int device_type, const QJsonObject& session, QString* error);

 signals:
  void changed(int slot, int channel);  // channel -1: the whole slot

 private:
  std::map<std::pair<int, int>, ChannelMeasurements> channels_;
  std::map<std::pair<int, int>, bool> locks_;
};

// The run's one book, shared by every editor and graph window.
MeasurementBook& Measurements();

// The measurement (smoothed, offset) on the graph grid; NaN where it has no points.
Curve MeasuredCurve(const ChannelMeasurements& set, const LoadedMeasurement& measurement);
// The mean level of all the set's measurements (several microphone positions read as one); NaN
// where none has a point.
Curve AverageMeasuredCurve(const ChannelMeasurements& set);
// Measurement plus the channel's response: what the measurement will read after the EQ.
Curve PredictedCurve(const Curve& measured, const Curve& response);

}  // namespace tessaly::graph
