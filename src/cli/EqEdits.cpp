#include "cli/Edits.h"
#include "cli/ValueParsers.h"
#include "protocol/FlatEq.h"
#include "protocol/CommonOperations.h"
#include "protocol/ScaleSnap.h"
#include "protocol/ScaleWord.h"
#include "protocol/ValueLists.h"
#include "protocol/ValueScale.h"

namespace tessaly::cli::edits {
namespace {

// The editor's Q box keeps at most four characters of what was typed.
constexpr int kQTextLength = 4;
// A new band type brings the band's gain back to 0 dB.
constexpr double kTypeChangeGainDb = 0.0;

QStringList EqTypeCaptions() {
  QStringList list;
  for (int type = 0; type < protocol::kEqTypeCount; ++type) list << protocol::EqTypeName(type);
  return list;
}

QStringList SlopeCaptions() {
  QStringList list;
  for (int slope = 0; slope < protocol::kXoverSlopeCount; ++slope) {
    list << protocol::XoverSlopeName(slope);
  }
  return list;
}

struct Band {
  protocol::EqBandValues values;
  bool bypassed = false;
};

std::optional<Band> ReadBand(EditTarget& t) {
  const auto values = protocol::ReadEqBand(t.data(), t.ch, t.index);
  const auto global = t.layout.GlobalBand(t.ch, t.index);
  if (!values || !global) return std::nullopt;
  return Band{*values, t.state().band_bypass[static_cast<size_t>(*global)]};
}

Outcome SendBand(EditTarget& t, const Band& band, EditReport& r) {
  r.Add(t.ops().SendEqBand(t.slot, t.ch, t.index, band.values, band.bypassed));
  r.Link(t.linking().LinkEqBand(t.slot, t.ch, t.index));
  return Outcome::Ok();
}

Outcome NoBand(EditTarget& t) {
  return Outcome::Usage(
      QStringLiteral("The channel has EQ bands 1 to %1.").arg(t.layout.BandCount(t.ch)));
}

Outcome EditCrossover(EditTarget& t, int filter, std::optional<int> frequency,
                      std::optional<int> slope, EditReport& r) {
  const auto values = protocol::ReadCrossover(t.data(), t.ch, filter);
  if (!values) return Outcome::Usage(QStringLiteral("The channel has no crossover filters."));
  r.Add(t.ops().SendCrossover(t.slot, t.ch, filter, frequency.value_or(values->frequency),
                              slope.value_or(values->slope)));
  r.Link(t.linking().LinkCrossover(t.slot, t.ch, filter));
  return Outcome::Ok();
}

std::optional<int> Frequency(const QString& v, QString* shown) {
  const auto number = ParseNumber(v);
  if (!number) return std::nullopt;
  const int hz = protocol::FrequencyFromTyped(*number);
  *shown = QStringLiteral("%1 Hz").arg(hz);
  return hz;
}

Outcome CrossoverFrequency(EditTarget& t, int filter, const QString& v, EditReport& r) {
  const auto hz = Frequency(v, &r.shown);
  if (!hz) return BadValue(v, QStringLiteral("a frequency in Hz"));
  return EditCrossover(t, filter, hz, std::nullopt, r);
}

Outcome CrossoverSlope(EditTarget& t, int filter, const QString& v, EditReport& r) {
  const auto slope = ParseChoice(v, SlopeCaptions());
  if (!slope) return BadValue(v, QStringLiteral("a slope of the list (see help set)"));
  r.shown = protocol::XoverSlopeName(*slope);
  return EditCrossover(t, filter, std::nullopt, slope, r);
}

}  // namespace

Outcome BandType(EditTarget& t, const QString& v, EditReport& r) {
  const auto type = ParseChoice(v, EqTypeCaptions());
  if (!type)
    return BadValue(v, QStringLiteral("a band type (Bell, HiShQ, LoShQ, HP-Q, LP-Q, Notch)"));
  auto band = ReadBand(t);
  if (!band) return NoBand(t);
  r.shown = protocol::EqTypeName(*type);
  // Picking the type the band already has changes nothing, not even the gain.
  if (band->values.type == *type) {
    r.unchanged = true;
    return Outcome::Ok();
  }
  band->values.type = static_cast<uint8_t>(*type);
  band->values.gain = static_cast<uint8_t>(
      protocol::ScaleOf(protocol::ScaleKind::kEqGain).ByteOf(kTypeChangeGainDb));
  return SendBand(t, *band, r);
}

Outcome BandFrequency(EditTarget& t, const QString& v, EditReport& r) {
  const auto hz = Frequency(v, &r.shown);
  if (!hz) return BadValue(v, QStringLiteral("a frequency in Hz"));
  auto band = ReadBand(t);
  if (!band) return NoBand(t);
  band->values.frequency = static_cast<uint16_t>(*hz);
  return SendBand(t, *band, r);
}

Outcome BandGain(EditTarget& t, const QString& v, EditReport& r) {
  const auto number = ParseNumber(v);
  if (!number) return BadValue(v, QStringLiteral("a gain in dB"));
  auto band = ReadBand(t);
  if (!band) return NoBand(t);
  const protocol::ValueScale& scale = protocol::ScaleOf(protocol::ScaleKind::kEqGain);
  const int byte = scale.ByteOf(*number);
  r.shown = scale.Text(byte, false) + QStringLiteral(" dB");
  band->values.gain = static_cast<uint8_t>(byte);
  return SendBand(t, *band, r);
}

Outcome BandQ(EditTarget& t, const QString& v, EditReport& r) {
  const auto number = ParseNumber(v.trimmed().left(kQTextLength));
  if (!number) return BadValue(v, QStringLiteral("a Q value"));
  auto band = ReadBand(t);
  if (!band) return NoBand(t);
  const int byte = protocol::SnapEqQ(*number, protocol::QClassOfType(band->values.type));
  r.shown = protocol::EqQScale(band->values.type).Text(byte, false);
  band->values.q = static_cast<uint8_t>(byte);
  return SendBand(t, *band, r);
}

Outcome BandBypass(EditTarget& t, const QString& v, EditReport& r) {
  const auto on = ParseOnOff(v);
  if (!on) return BadValue(v, QStringLiteral("on or off"));
  auto band = ReadBand(t);
  if (!band) return NoBand(t);
  r.shown = *on ? QStringLiteral("on") : QStringLiteral("off");
  band->bypassed = *on;
  return SendBand(t, *band, r);
}

Outcome EqBypass(EditTarget& t, const QString& v, EditReport& r) {
  const auto on = ParseOnOff(v);
  if (!on) return BadValue(v, QStringLiteral("on or off"));
  r.shown = *on ? QStringLiteral("on") : QStringLiteral("off");
  r.Add(t.ops().SendEqSwitch(t.slot, t.ch, *on));
  r.Link(t.linking().LinkEqSwitch(t.slot, t.ch));
  return Outcome::Ok();
}

Outcome EqFlat(EditTarget& t, const QString& v, EditReport& r) {
  const auto yes = ParseOnOff(v);
  if (!yes || !*yes) return Outcome::Usage(QStringLiteral("eq.flat takes yes."));
  r.shown = QStringLiteral("yes");
  r.Add(protocol::FlattenEq(t.ops(), t.session.store(), t.slot, t.ch));
  r.Link(t.linking().LinkFlatEq(t.slot, t.ch));
  return Outcome::Ok();
}

Outcome HighPassFrequency(EditTarget& t, const QString& v, EditReport& r) {
  return CrossoverFrequency(t, protocol::kFilterHighPass, v, r);
}
Outcome HighPassSlope(EditTarget& t, const QString& v, EditReport& r) {
  return CrossoverSlope(t, protocol::kFilterHighPass, v, r);
}
Outcome LowPassFrequency(EditTarget& t, const QString& v, EditReport& r) {
  return CrossoverFrequency(t, protocol::kFilterLowPass, v, r);
}
Outcome LowPassSlope(EditTarget& t, const QString& v, EditReport& r) {
  return CrossoverSlope(t, protocol::kFilterLowPass, v, r);
}

}  // namespace tessaly::cli::edits
