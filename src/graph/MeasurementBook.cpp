#include "graph/MeasurementBook.h"

#include <QJsonArray>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "device/DeviceTypes.h"

namespace tessaly::graph {
namespace {

constexpr int kSessionVersion = 1;

// The model as users call it; the type table pads its captions and names the 540S by its family.
QString Model(int type) {
  return type == device::kType540S ? QStringLiteral("540S") : device::ModelName(type).trimmed();
}

}  // namespace

const ChannelMeasurements& MeasurementBook::Of(int slot, int channel) const {
  static const ChannelMeasurements kNone;
  const auto it = channels_.find({slot, channel});
  return it == channels_.end() ? kNone : it->second;
}

void MeasurementBook::Add(int slot, int channel, LoadedMeasurement measurement) {
  channels_[{slot, channel}].items.push_back(std::move(measurement));
  emit changed(slot, channel);
}

void MeasurementBook::Clear(int slot, int channel) {
  channels_[{slot, channel}].items.clear();
  emit changed(slot, channel);
}

void MeasurementBook::SetOffset(int slot, int channel, double offset_db) {
  channels_[{slot, channel}].offset_db = offset_db;
  emit changed(slot, channel);
}

void MeasurementBook::SetSmoothing(int slot, int channel, int fraction) {
  channels_[{slot, channel}].smoothing = std::max(0, fraction);
  emit changed(slot, channel);
}

bool MeasurementBook::Locked(int slot, int band) const {
  const auto it = locks_.find({slot, band});
  return it != locks_.end() && it->second;
}

void MeasurementBook::SetLocked(int slot, int band, bool locked) { locks_[{slot, band}] = locked; }

void MeasurementBook::ReleaseSlot(int slot) {
  std::erase_if(channels_, [slot](const auto& e) { return e.first.first == slot; });
  std::erase_if(locks_, [slot](const auto& e) { return e.first.first == slot; });
  emit changed(slot, -1);
}

QJsonObject MeasurementBook::SessionJson(int slot, int device_type) const {
  QJsonArray channels;
  for (const auto& [key, set] : channels_) {
    if (key.first != slot) continue;
    QJsonArray items;
    for (const LoadedMeasurement& m : set.items) {
      QJsonArray points;
      for (size_t i = 0; i < m.data.hz.size(); ++i) {
        QJsonArray point{m.data.hz[i], m.data.db[i]};
        if (!m.data.phase.empty()) point.append(m.data.phase[i]);
        points.append(point);
      }
      items.append(
          QJsonObject{{QStringLiteral("name"), m.name}, {QStringLiteral("points"), points}});
    }
    channels.append(QJsonObject{{QStringLiteral("channel"), key.second},
                                {QStringLiteral("offset_db"), set.offset_db},
                                {QStringLiteral("smoothing"), set.smoothing},
                                {QStringLiteral("measurements"), items}});
  }
  QJsonArray locks;
  for (const auto& [key, locked] : locks_) {
    if (key.first == slot && locked) locks.append(key.second);
  }
  return {{QStringLiteral("tessaly_session"), kSessionVersion},
          {QStringLiteral("device_type"), device_type},
          {QStringLiteral("model"), Model(device_type)},
          {QStringLiteral("channels"), channels},
          {QStringLiteral("locked_bands"), locks}};
}

bool MeasurementBook::LoadSession(int slot, int device_type, const QJsonObject& session,
                                  QString* error) {
  const auto fail = [error](const QString& sentence) {
    if (error) *error = sentence;
    return false;
  };
  if (session.value(QStringLiteral("tessaly_session")).toInt() != kSessionVersion) {
    return fail(QStringLiteral("This is not a Tessaly session file."));
  }
  const int type = session.value(QStringLiteral("device_type")).toInt(-1);
  if (type != device_type) {
    return fail(QStringLiteral("The session belongs to the %1, not the %2.")
                    .arg(Model(type), Model(device_type)));
  }
  std::map<std::pair<int, int>, ChannelMeasurements> channels;
  for (const QJsonValue& c : session.value(QStringLiteral("channels")).toArray()) {
    const QJsonObject object = c.toObject();
    ChannelMeasurements set;
    set.offset_db = object.value(QStringLiteral("offset_db")).toDouble();
    set.smoothing = std::max(0, object.value(QStringLiteral("smoothing")).toInt());
    for (const QJsonValue& item : object.value(QStringLiteral("measurements")).toArray()) {
      LoadedMeasurement m;
      m.name = item.toObject().value(QStringLiteral("name")).toString();
      const QJsonArray points = item.toObject().value(QStringLiteral("points")).toArray();
      bool phase = !points.isEmpty();
      for (const QJsonValue& p : points) {
        const QJsonArray point = p.toArray();
        const double hz = point.at(0).toDouble(NAN);
        const double db = point.at(1).toDouble(NAN);
        if (!std::isfinite(hz) || !std::isfinite(db) ||
            (!m.data.hz.empty() && hz <= m.data.hz.back())) {
          return fail(
              QStringLiteral("The measurement \"%1\" in the session is damaged.").arg(m.name));
        }
        m.data.hz.push_back(hz);
        m.data.db.push_back(db);
        phase = phase && point.size() > 2;
        m.data.phase.push_back(point.at(2).toDouble());
      }
      if (!phase) m.data.phase.clear();
      set.items.push_back(std::move(m));
    }
    channels[{slot, object.value(QStringLiteral("channel")).toInt()}] = std::move(set);
  }
  std::erase_if(channels_, [slot](const auto& e) { return e.first.first == slot; });
  std::erase_if(locks_, [slot](const auto& e) { return e.first.first == slot; });
  channels_.merge(channels);
  for (const QJsonValue& band : session.value(QStringLiteral("locked_bands")).toArray()) {
    locks_[{slot, band.toInt()}] = true;
  }
  emit changed(slot, -1);
  return true;
}

MeasurementBook& Measurements() {
  static MeasurementBook book;
  return book;
}

Curve MeasuredCurve(const ChannelMeasurements& set, const LoadedMeasurement& measurement) {
  return MeasurementCurve(measurement.data, set.smoothing, set.offset_db);
}

Curve AverageMeasuredCurve(const ChannelMeasurements& set) {
  Curve sum{};
  std::array<int, kGraphPoints> count{};
  for (const LoadedMeasurement& m : set.items) {
    const Curve measured = MeasuredCurve(set, m);
    for (size_t i = 0; i < sum.size(); ++i) {
      if (!std::isfinite(measured[i])) continue;
      sum[i] += measured[i];
      ++count[i];
    }
  }
  for (size_t i = 0; i < sum.size(); ++i) {
    sum[i] = count[i] > 0 ? sum[i] / count[i] : std::numeric_limits<double>::quiet_NaN();
  }
  return sum;
}

Curve PredictedCurve(const Curve& measured, const Curve& response) {
  Curve out;
  for (size_t i = 0; i < out.size(); ++i) out[i] = measured[i] + response[i];
  return out;
}

}  // namespace tessaly::graph
