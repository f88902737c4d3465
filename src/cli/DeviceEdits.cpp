#include "cli/Edits.h"
#include "cli/ValueParsers.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ValueLists.h"
#include "protocol/ValueScale.h"

namespace tessaly::cli::edits {
namespace {

QString OnOffText(bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); }

QStringList Captions(QString (*name)(int), int count) {
  QStringList list;
  for (int i = 0; i < count; ++i) list << name(i);
  return list;
}

std::optional<int> SendLevelByte(const QString& v, QString* shown) {
  const auto number = ParseNumber(v);
  if (!number) return std::nullopt;
  const protocol::ValueScale& scale = protocol::ScaleOf(protocol::ScaleKind::kSendLevel);
  const int byte = scale.ByteOf(*number);
  *shown = scale.Text(byte, false) + QStringLiteral(" dB");
  return byte;
}

// The bool answer of a switch edit, or the usage error for a value that is not on or off.
template <typename Send>
Outcome Switch(const QString& v, EditReport& r, Send send) {
  const auto on = ParseOnOff(v);
  if (!on) return BadValue(v, QStringLiteral("on or off"));
  r.shown = OnOffText(*on);
  r.Add(send(*on));
  return Outcome::Ok();
}

}  // namespace

Outcome SpeakerDrive(EditTarget& t, const QString& v, EditReport& r) {
  const auto drive =
      ParseChoice(v, Captions(protocol::SpeakerDriveName, protocol::kSpeakerDriveCount),
                  {{QStringLiteral("100V"), QStringLiteral("16ohm")},
                   {QStringLiteral("70V"), QStringLiteral("4-8ohm")}});
  if (!drive) return BadValue(v, QStringLiteral("a speaker drive (100V or 70V)"));
  r.shown = protocol::SpeakerDriveName(*drive);
  r.Add(t.ops().SendSpeakerDrive(t.slot, t.ch - t.layout.first_output, *drive));
  r.Link(t.linking().LinkSpeakerDrive(t.slot, t.ch));
  return Outcome::Ok();
}

Outcome OutputSource(EditTarget& t, const QString& v, EditReport& r) {
  const auto source =
      ParseChoice(v, Captions(protocol::OutputSourceName, protocol::kOutputSourceCount),
                  {{QStringLiteral("L")}, {QStringLiteral("R")}, {QStringLiteral("L+R")}});
  if (!source) return BadValue(v, QStringLiteral("an output source (L, R or L+R)"));
  r.shown = protocol::OutputSourceName(*source);
  r.Add(t.ops().SendOutputSource(t.slot, t.ch, *source));
  return Outcome::Ok();
}

Outcome MixerOn(EditTarget& t, const QString& v, EditReport& r) {
  return Switch(v, r, [&](bool on) {
    return t.session.family_b().SetOutputMixerEnabled(t.slot, t.ch, t.index, on);
  });
}

Outcome MixerLevel(EditTarget& t, const QString& v, EditReport& r) {
  const auto level = SendLevelByte(v, &r.shown);
  if (!level) return BadValue(v, QStringLiteral("a send level in dB"));
  const auto send = protocol::ReadMixerSend(t.data(), t.ch, t.index);
  if (!send) return Outcome::Usage(QStringLiteral("The channel has no output mixer."));
  r.Add(t.ops().SendOutputMixer(t.slot, t.ch, t.index, protocol::SendEnabled(*send), *level));
  return Outcome::Ok();
}

Outcome RoutingOn(EditTarget& t, const QString& v, EditReport& r) {
  const auto point = protocol::ReadRouting(t.data(), t.ch, t.index);
  if (!point) return Outcome::Usage(QStringLiteral("The channel has no routing cross-points."));
  return Switch(v, r, [&](bool on) {
    return t.ops().SendInputRouting(t.slot, t.ch, t.index, on, protocol::SendLevel(*point));
  });
}

Outcome RoutingLevel(EditTarget& t, const QString& v, EditReport& r) {
  const auto level = SendLevelByte(v, &r.shown);
  if (!level) return BadValue(v, QStringLiteral("a cross-point level in dB"));
  const auto point = protocol::ReadRouting(t.data(), t.ch, t.index);
  if (!point) return Outcome::Usage(QStringLiteral("The channel has no routing cross-points."));
  r.Add(t.ops().SendInputRouting(t.slot, t.ch, t.index, protocol::SendEnabled(*point), *level));
  return Outcome::Ok();
}

Outcome InputSource(EditTarget& t, const QString& v, EditReport& r) {
  const QStringList captions = {QStringLiteral("Analog Input"), QStringLiteral("Digital Input"),
                                QStringLiteral("Noise Generator")};
  const auto source = ParseChoice(
      v, captions,
      {{QStringLiteral("analog")}, {QStringLiteral("digital")}, {QStringLiteral("noise")}});
  if (!source) return BadValue(v, QStringLiteral("an input source (analog, digital or noise)"));
  r.shown = captions[*source];
  r.Add(t.ops().SendInputMode(t.slot, protocol::InputModeField::kSource, *source));
  return Outcome::Ok();
}

Outcome AnalogMode(EditTarget& t, const QString& v, EditReport& r) {
  const QStringList captions = {QStringLiteral("Input 2 L/R"), QStringLiteral("Input 1 L/R")};
  const auto mode =
      ParseChoice(v, captions, {{QStringLiteral("input2")}, {QStringLiteral("input1")}});
  if (!mode) return BadValue(v, QStringLiteral("an analog mode (input1 or input2)"));
  r.shown = captions[*mode];
  r.Add(t.ops().SendInputMode(t.slot, protocol::InputModeField::kAnalogMode, *mode));
  return Outcome::Ok();
}

Outcome DigitalMode(EditTarget& t, const QString& v, EditReport& r) {
  const auto mode = ParseChoice(v, {protocol::DigitalModeName(0), protocol::DigitalModeName(1)});
  if (!mode) return BadValue(v, QStringLiteral("a digital mode (coaxial or optical)"));
  r.shown = protocol::DigitalModeName(*mode);
  if (t.layout.family == protocol::Family::kB) {
    r.Add(t.ops().SendDigitalMode(t.slot, *mode));
  } else {
    r.Add(t.ops().SendInputMode(t.slot, protocol::InputModeField::kDigitalMode, *mode));
  }
  return Outcome::Ok();
}

Outcome NoiseType(EditTarget& t, const QString& v, EditReport& r) {
  const QStringList captions = {QStringLiteral("White Noise"), QStringLiteral("Pink Noise")};
  const auto type = ParseChoice(v, captions, {{QStringLiteral("white")}, {QStringLiteral("pink")}});
  if (!type) return BadValue(v, QStringLiteral("a noise type (white or pink)"));
  r.shown = captions[*type];
  r.Add(t.ops().SendNoiseGenerator(t.slot, *type, t.state().noise_level));
  return Outcome::Ok();
}

Outcome NoiseLevel(EditTarget& t, const QString& v, EditReport& r) {
  const auto number = ParseNumber(v);
  if (!number) return BadValue(v, QStringLiteral("a noise level in dB"));
  const protocol::ValueScale& scale = protocol::ScaleOf(protocol::ScaleKind::kNoiseLevel);
  const int byte = scale.ByteOf(*number);
  r.shown = scale.Text(byte, false) + QStringLiteral(" dB");
  r.Add(t.ops().SendNoiseGenerator(t.slot, t.state().noise_type, byte));
  return Outcome::Ok();
}

Outcome NoiseEnable(EditTarget& t, const QString& v, EditReport& r) {
  return Switch(v, r, [&](bool on) { return t.session.family_b().SendNoiseEnable(t.slot, on); });
}

Outcome Standby(EditTarget& t, const QString& v, EditReport& r) {
  return Switch(v, r, [&](bool on) { return t.ops().SendStandby(t.slot, on); });
}

Outcome SleepMode(EditTarget& t, const QString& v, EditReport& r) {
  return Switch(v, r, [&](bool on) { return t.ops().SendSleepMode(t.slot, on); });
}

Outcome MeterMode(EditTarget& t, const QString& v, EditReport& r) {
  const auto& captions = protocol::MeterModeCaptions(t.layout.family);
  const auto mode = ParseChoice(v, QStringList(captions.begin(), captions.end()));
  if (!mode) return BadValue(v, QStringLiteral("a meter mode 0, 1 or 2"));
  r.shown = captions[static_cast<size_t>(*mode)];
  r.Add(t.ops().SendMeterMode(t.slot, *mode));
  return Outcome::Ok();
}

Outcome LineOut(EditTarget& t, const QString& v, EditReport& r) {
  return Switch(v, r, [&](bool on) { return t.ops().SendLineOut(t.slot, on); });
}

}  // namespace tessaly::cli::edits
