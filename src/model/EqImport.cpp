#include "model/EqImport.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "graph/CurveMath.h"
#include "graph/ResponseCurves.h"
#include "model/EditPath.h"
#include "protocol/CommonOperations.h"
#include "protocol/ProgramData.h"
#include "protocol/SlotState.h"
#include "protocol/ValueLists.h"
#include "protocol/ValueScale.h"

namespace tessaly::model {
namespace {

using protocol::EqBandValues;
using protocol::ScaleKind;

QString Num(double v, int decimals) { return QLocale::c().toString(v, 'f', decimals); }
QString Short(double v) { return QLocale::c().toString(v, 'g', 6); }
QString SignedDb(double v) { return (v > 0 ? QStringLiteral("+") : QString()) + Num(v, 1); }

bool HasGain(int type) {
  return type != graph::kBandHighPass && type != graph::kBandLowPass && type != graph::kBandNotch;
}

bool Same(const EqBandValues& a, const EqBandValues& b) {
  return a.type == b.type && a.frequency == b.frequency && a.q == b.q && a.gain == b.gain;
}

uint8_t ZeroGainByte() {
  return static_cast<uint8_t>(protocol::ScaleOf(ScaleKind::kEqGain).ByteOf(0.0));
}

// The band as the device will hold it after taking `f`.
ImportBand Snap(const AskedFilter& f, int band, const EqBandValues& before, bool bypassed) {
  ImportBand b;
  b.band = band;
  b.asked = f;
  b.before = before;
  b.bypassed_before = bypassed;
  b.bypassed_after = false;
  const int type = *f.band_type;
  b.held.type = static_cast<uint8_t>(type);

  const long hz = std::lround(f.hz);
  const long held_hz = std::clamp<long>(hz, protocol::kMinFrequency, protocol::kMaxFrequency);
  if (held_hz != hz) {
    b.changes << QStringLiteral("%1 Hz is out of range: %2 Hz").arg(Short(f.hz)).arg(held_hz);
  }
  b.held.frequency = static_cast<uint16_t>(held_hz);

  const protocol::ValueScale& q_scale = protocol::EqQScale(type);
  double q = kDefaultFilterQ;
  if (f.q) {
    q = *f.q;
  } else {
    b.changes << QStringLiteral("no Q given: takes %1").arg(Num(kDefaultFilterQ, 2));
  }
  b.held.q = static_cast<uint8_t>(q_scale.ByteOf(q));
  if (q < q_scale.Minimum() || q > q_scale.Maximum()) {
    b.changes << QStringLiteral("Q %1 is out of range: %2")
                     .arg(Short(q), Short(q_scale.ValueOf(b.held.q)));
  }

  // A new type brings the gain to 0 dB; a filter without a gain leaves it there.
  b.held.gain = before.type == type ? before.gain : ZeroGainByte();
  if (f.gain_db && HasGain(type)) {
    const protocol::ValueScale& gain = protocol::ScaleOf(ScaleKind::kEqGain);
    b.held.gain = static_cast<uint8_t>(gain.ByteOf(*f.gain_db));
    if (*f.gain_db < gain.Minimum() || *f.gain_db > gain.Maximum()) {
      b.changes << QStringLiteral("gain %1 dB is out of range: %2 dB")
                       .arg(SignedDb(*f.gain_db), SignedDb(gain.ValueOf(b.held.gain)));
    }
  }
  return b;
}

double AskedDb(const AskedFilter& f, double hz) {
  const auto type = static_cast<int16_t>(*f.band_type);
  const double gain = f.gain_db.value_or(0.0);
  const double qe = graph::EffectiveQ(type, gain, f.q.value_or(kDefaultFilterQ));
  return graph::BandResponseDb(type, gain, f.hz, qe, hz);
}

double HeldDb(const EqBandValues& v, double hz) {
  const auto type = static_cast<int16_t>(v.type);
  const double gain = protocol::ScaleOf(ScaleKind::kEqGain).ValueOf(v.gain);
  const double qe = graph::EffectiveQ(type, gain, graph::BandQFromByte(type, v.q));
  return graph::BandResponseDb(type, gain, v.frequency, qe, hz);
}

}  // namespace

bool ImportBand::Changes() const {
  return !Same(before, held) || bypassed_before != bypassed_after;
}

std::optional<ImportPlan> PlanImport(const FilterList& list, const protocol::ProgramData& data,
                                     const protocol::SlotState& state, int channel) {
  const protocol::Layout& layout = data.layout();
  if (!layout.IsChannel(channel)) return std::nullopt;
  ImportPlan plan;
  plan.channel = channel;
  const int count = layout.BandCount(channel);
  const auto bypass_of = [&](int band) {
    return state.band_bypass[static_cast<size_t>(*layout.GlobalBand(channel, band))];
  };
  int next = 0;
  for (const AskedFilter& f : list.filters) {
    if (!f.band_type) {
      plan.refused.push_back(
          {f.line, f.text, QStringLiteral("the device has no %1 filter").arg(f.kind)});
      continue;
    }
    if (next >= count) {
      plan.refused.push_back(
          {f.line, f.text, QStringLiteral("the channel has only %1 bands").arg(count)});
      continue;
    }
    const auto before = protocol::ReadEqBand(data, channel, next);
    if (!before) return std::nullopt;
    plan.bands.push_back(Snap(f, next, *before, bypass_of(next)));
    ++next;
  }
  for (; next < count; ++next) {
    const auto before = protocol::ReadEqBand(data, channel, next);
    if (!before) return std::nullopt;
    ImportBand b;
    b.band = next;
    b.before = *before;
    b.bypassed_before = b.bypassed_after = bypass_of(next);
    b.held = *before;
    b.held.type = static_cast<uint8_t>(graph::kBandBell);
    b.held.gain = ZeroGainByte();
    plan.bands.push_back(b);
  }
  plan.refused.insert(plan.refused.end(), list.skipped.begin(), list.skipped.end());
  std::sort(plan.refused.begin(), plan.refused.end(),
            [](const SkippedLine& a, const SkippedLine& b) { return a.line < b.line; });

  for (const int16_t hz : graph::GraphFreq()) {
    double asked = 0.0;
    double held = 0.0;
    for (const ImportBand& b : plan.bands) {
      if (!b.asked) continue;
      asked += AskedDb(*b.asked, hz);
      held += HeldDb(b.held, hz);
    }
    plan.largest_difference_db = std::max(plan.largest_difference_db, std::abs(asked - held));
  }
  return plan;
}

FilterBand BandAsFilter(const EqBandValues& values, bool bypassed) {
  return {values.type, values.frequency, protocol::ScaleOf(ScaleKind::kEqGain).ValueOf(values.gain),
          graph::BandQFromByte(values.type, values.q), bypassed};
}

QString DescribeBand(const EqBandValues& values) {
  const FilterBand f = BandAsFilter(values, false);
  QString text = QStringLiteral("%1 %2 Hz").arg(protocol::EqTypeName(f.type)).arg(f.hz);
  if (HasGain(f.type)) text += QStringLiteral(" %1 dB").arg(SignedDb(f.gain_db));
  return text + QStringLiteral(" Q %1").arg(Short(f.q));
}

QString DescribeAsked(const AskedFilter& filter) {
  QString text = QStringLiteral("%1 %2 Hz").arg(filter.kind, Short(filter.hz));
  if (filter.gain_db) text += QStringLiteral(" %1 dB").arg(SignedDb(*filter.gain_db));
  if (filter.q) text += QStringLiteral(" Q %1").arg(Short(*filter.q));
  return text;
}

EditOutcome ApplyImport(EditPath& path, int slot, const ImportPlan& plan,
                        const QString& undo_text) {
  EditOutcome last;
  const QString channel = protocol::ChannelName(path.DeviceType(slot).value_or(0), plan.channel);
  path.BeginGesture(slot,
                    undo_text.isEmpty() ? QStringLiteral("EQ Import %1").arg(channel) : undo_text);
  for (const ImportBand& b : plan.bands) {
    if (!b.Changes()) continue;
    const auto target = [&](ParamId id) { return EditTarget{slot, id, plan.channel, b.band}; };
    // Every field goes into the record first; the bypass's command carries the whole band.
    last = path.SetIndexes({{target(ParamId::kEqType), b.held.type},
                            {target(ParamId::kEqFrequency), b.held.frequency},
                            {target(ParamId::kEqQ), b.held.q},
                            {target(ParamId::kEqGain), b.held.gain},
                            {target(ParamId::kEqBandBypass), b.bypassed_after ? 1 : 0}});
    if (last.status != EditStatus::kDone && last.status != EditStatus::kHeld) break;
  }
  path.EndGesture(slot);
  return last;
}

}  // namespace tessaly::model
