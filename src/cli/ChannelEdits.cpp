#include "cli/Edits.h"
#include "cli/ValueParsers.h"
#include "protocol/CommonOperations.h"
#include "protocol/ScaleDelay.h"
#include "protocol/ValueLists.h"
#include "protocol/ValueScale.h"

namespace tessaly::cli::edits {

using protocol::ScaleKind;
using protocol::ScaleOf;

namespace {

// Byte of a typed number on a scale, with the value text the editor rewrites its box with.
std::optional<int> ScaledByte(ScaleKind kind, const QString& v, QString* shown) {
  const auto number = ParseNumber(v);
  if (!number) return std::nullopt;
  const protocol::ValueScale& scale = ScaleOf(kind);
  const int byte = scale.ByteOf(*number);
  *shown = scale.Text(byte, false);
  if (!scale.Unit().isEmpty()) *shown += QLatin1Char(' ') + scale.Unit();
  return byte;
}

}  // namespace

Outcome Gain(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kGain, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a gain in dB"));
  r.Add(t.ops().SendGain(t.slot, t.ch, static_cast<uint8_t>(*byte)));
  r.Link(t.linking().LinkGain(t.slot, t.ch));
  return Outcome::Ok();
}

// The delay box takes the unit the editor shows (the device's delay display unit); a "ms" or
// "m" suffix names the unit explicitly.
Outcome Delay(EditTarget& t, const QString& v, EditReport& r) {
  QString text = v.trimmed();
  int unit = t.state().delay_unit == protocol::kDelayUnitTime ? protocol::kDelayUnitTime
                                                              : protocol::kDelayUnitMeter;
  if (text.endsWith(QLatin1String("ms"), Qt::CaseInsensitive)) {
    unit = protocol::kDelayUnitTime;
    text.chop(2);
  } else if (text.endsWith(QLatin1String("m"), Qt::CaseInsensitive)) {
    unit = protocol::kDelayUnitMeter;
    text.chop(1);
  }
  const auto number = ParseNumber(text);
  if (!number) return BadValue(v, QStringLiteral("a delay in ms or m"));
  const auto limit = protocol::DelayLimitMs(t.type, t.ch);
  if (!limit) return Outcome::Usage(QStringLiteral("The channel has no delay."));
  const protocol::DelaySetting delay = protocol::DelayFromTyped(*number, unit, *limit);
  r.shown = protocol::DelayText(delay.milliseconds, delay.samples, unit, false) +
            protocol::DelayUnitName(unit);
  r.Add(t.ops().SendDelay(t.slot, t.ch, delay.milliseconds, delay.samples));
  r.Link(t.linking().LinkDelay(t.slot, t.ch));
  return Outcome::Ok();
}

Outcome Mute(EditTarget& t, const QString& v, EditReport& r) {
  const auto on = ParseOnOff(v);
  if (!on) return BadValue(v, QStringLiteral("on or off"));
  r.shown = *on ? QStringLiteral("on") : QStringLiteral("off");
  r.Add(t.ops().SendMute(t.slot, t.ch, *on));
  r.Link(t.linking().LinkMute(t.slot, t.ch));
  return Outcome::Ok();
}

Outcome Polarity(EditTarget& t, const QString& v, EditReport& r) {
  const auto inverted =
      ParseChoice(v, {QStringLiteral("normal"), QStringLiteral("inverted")},
                  {{QStringLiteral("off"), QStringLiteral("0'")},
                   {QStringLiteral("on"), QStringLiteral("180"), QStringLiteral("180'")}});
  if (!inverted) return BadValue(v, QStringLiteral("normal or inverted"));
  r.shown = *inverted != 0 ? QStringLiteral("inverted") : QStringLiteral("normal");
  r.Add(t.ops().SendPolarity(t.slot, t.ch, *inverted != 0));
  r.Link(t.linking().LinkPolarity(t.slot, t.ch));
  return Outcome::Ok();
}

Outcome Link(EditTarget& t, const QString& v, EditReport& r) {
  const auto on = ParseOnOff(v);
  if (!on) return BadValue(v, QStringLiteral("on or off"));
  r.shown = *on ? QStringLiteral("on") : QStringLiteral("off");
  r.Add(t.ops().SendLink(t.slot, t.ch, *on));
  return Outcome::Ok();
}

namespace {

template <typename Change>
Outcome EditGate(EditTarget& t, EditReport& r, Change change) {
  auto values = protocol::ReadGate(t.data(), t.ch);
  if (!values) return Outcome::Usage(QStringLiteral("The channel has no noise gate."));
  change(*values);
  r.Add(t.ops().SendGate(t.slot, t.ch, *values));
  r.Link(t.linking().LinkGate(t.slot, t.ch));
  return Outcome::Ok();
}

template <typename Change>
Outcome EditCompressor(EditTarget& t, EditReport& r, std::optional<bool> bypass, Change change) {
  auto values = protocol::ReadCompressor(t.data(), t.ch);
  if (!values) return Outcome::Usage(QStringLiteral("The channel has no compressor."));
  change(*values);
  const bool bypassed = bypass.value_or(t.state().dynamics_bypass[static_cast<size_t>(t.ch)]);
  r.Add(t.ops().SendCompressor(t.slot, t.ch, *values, bypassed));
  r.Link(t.linking().LinkCompressor(t.slot, t.ch));
  return Outcome::Ok();
}

template <typename Change>
Outcome EditLimiter(EditTarget& t, EditReport& r, std::optional<bool> bypass, Change change) {
  auto values = protocol::ReadLimiter(t.data(), t.ch);
  if (!values) return Outcome::Usage(QStringLiteral("The channel has no limiter."));
  change(*values);
  const bool bypassed = bypass.value_or(t.state().dynamics_bypass[static_cast<size_t>(t.ch)]);
  r.Add(t.ops().SendLimiter(t.slot, t.ch, *values, bypassed));
  r.Link(t.linking().LinkLimiter(t.slot, t.ch));
  return Outcome::Ok();
}

// The ratio box reads only what stands before the first ":", so "4:1" is read as 4.
QString RatioNumber(const QString& v) { return v.section(QLatin1Char(':'), 0, 0); }

}  // namespace

Outcome GateBypass(EditTarget& t, const QString& v, EditReport& r) {
  const auto on = ParseOnOff(v);
  if (!on) return BadValue(v, QStringLiteral("on or off"));
  r.shown = *on ? QStringLiteral("on") : QStringLiteral("off");
  return EditGate(t, r, [&](protocol::GateValues& g) { g.bypass = *on ? 1 : 0; });
}

Outcome GateThreshold(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kGateThreshold, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a threshold in dB"));
  return EditGate(t, r,
                  [&](protocol::GateValues& g) { g.threshold = static_cast<uint8_t>(*byte); });
}

Outcome GateRelease(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kGateRelease, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a release time in ms"));
  return EditGate(t, r, [&](protocol::GateValues& g) { g.release = static_cast<uint8_t>(*byte); });
}

Outcome GateAttack(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kGateAttack, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("an attack time in ms"));
  return EditGate(t, r, [&](protocol::GateValues& g) { g.attack = static_cast<uint8_t>(*byte); });
}

Outcome CompThreshold(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kThreshold, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a threshold in dB"));
  return EditCompressor(t, r, std::nullopt, [&](protocol::CompressorValues& c) {
    c.threshold = static_cast<uint8_t>(*byte);
  });
}

Outcome CompRatio(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kRatio, RatioNumber(v), &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a ratio such as 4 or 4:1"));
  return EditCompressor(t, r, std::nullopt, [&](protocol::CompressorValues& c) {
    c.ratio = static_cast<uint8_t>(*byte);
  });
}

Outcome CompKnee(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kKnee, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a knee in %"));
  return EditCompressor(t, r, std::nullopt, [&](protocol::CompressorValues& c) {
    c.knee = static_cast<uint8_t>(*byte);
  });
}

Outcome CompRelease(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kCompRelease, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a release time in s"));
  return EditCompressor(t, r, std::nullopt, [&](protocol::CompressorValues& c) {
    c.release = static_cast<uint8_t>(*byte);
  });
}

Outcome CompAttack(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kCompAttack, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("an attack time in ms"));
  return EditCompressor(t, r, std::nullopt, [&](protocol::CompressorValues& c) {
    c.attack = static_cast<uint8_t>(*byte);
  });
}

Outcome CompMakeup(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kMakeup, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a makeup gain in dB"));
  return EditCompressor(t, r, std::nullopt, [&](protocol::CompressorValues& c) {
    c.makeup = static_cast<uint8_t>(*byte);
  });
}

Outcome CompBypass(EditTarget& t, const QString& v, EditReport& r) {
  const auto on = ParseOnOff(v);
  if (!on) return BadValue(v, QStringLiteral("on or off"));
  r.shown = *on ? QStringLiteral("on") : QStringLiteral("off");
  return EditCompressor(t, r, *on, [](protocol::CompressorValues&) {});
}

Outcome LimThreshold(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kThreshold, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a threshold in dB"));
  return EditLimiter(t, r, std::nullopt, [&](protocol::LimiterValues& l) {
    l.threshold = static_cast<uint8_t>(*byte);
  });
}

Outcome LimRelease(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kLimRelease, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("a release time in s"));
  return EditLimiter(t, r, std::nullopt,
                     [&](protocol::LimiterValues& l) { l.release = static_cast<uint8_t>(*byte); });
}

Outcome LimAttack(EditTarget& t, const QString& v, EditReport& r) {
  const auto byte = ScaledByte(ScaleKind::kLimAttack, v, &r.shown);
  if (!byte) return BadValue(v, QStringLiteral("an attack time in ms"));
  return EditLimiter(t, r, std::nullopt,
                     [&](protocol::LimiterValues& l) { l.attack = static_cast<uint8_t>(*byte); });
}

Outcome LimBypass(EditTarget& t, const QString& v, EditReport& r) {
  const auto on = ParseOnOff(v);
  if (!on) return BadValue(v, QStringLiteral("on or off"));
  r.shown = *on ? QStringLiteral("on") : QStringLiteral("off");
  return EditLimiter(t, r, *on, [](protocol::LimiterValues&) {});
}

}  // namespace tessaly::cli::edits
