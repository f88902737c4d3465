#include "cli/ParameterTable.h"

#include "cli/Edits.h"
#include "protocol/ValueLists.h"

namespace tessaly::cli {

int FamilyBit(protocol::Family family) {
  return family == protocol::Family::kB ? kFamilyB : kFamilyA;
}

void EditReport::Add(protocol::EditResult r) {
  // The worst result wins: a refusal or a lost reply is not hidden by a later success.
  if (static_cast<int>(r) > static_cast<int>(result)) result = r;
}

void EditReport::Link(const protocol::LinkOutcome& link) {
  Add(link.result);
  followers.insert(followers.end(), link.followers.begin(), link.followers.end());
}

const std::vector<ParameterRow>& ParameterTable() {
  using namespace edits;
  static const std::vector<ParameterRow> kRows = {
      {"gain", kBothFamilies, Scope::kChannel, "dB, -60 to +12 in 0.5 dB steps", Gain},
      {"delay", kBothFamilies, Scope::kChannel,
       "in the device's display unit, or with a unit: 12.5ms, 4.25m", Delay},
      {"mute", kBothFamilies, Scope::kChannel, "on, off", Mute},
      {"polarity", kBothFamilies, Scope::kChannel, "normal, inverted", Polarity},
      {"link", kBothFamilies, Scope::kChannel, "on, off (family A: either input links both)", Link},
      {"gate.threshold", kBothFamilies, Scope::kInput, "dB, -90 to -60 in 5 dB steps",
       GateThreshold},
      {"gate.release", kBothFamilies, Scope::kInput, "ms, 10 to 1000 (nearest list entry)",
       GateRelease},
      {"gate.attack", kBothFamilies, Scope::kInput, "ms, 1 to 1000 (nearest list entry)",
       GateAttack},
      {"gate.bypass", kBothFamilies, Scope::kInput, "on, off", GateBypass},
      {"comp.threshold", kBothFamilies, Scope::kInput, "dB, -18 to +12 in 0.2 dB steps",
       CompThreshold},
      {"comp.ratio", kBothFamilies, Scope::kInput, "2 to 32, as 4 or 4:1", CompRatio},
      {"comp.knee", kBothFamilies, Scope::kInput, "%, 0 to 100", CompKnee},
      {"comp.release", kBothFamilies, Scope::kInput, "s, 0.1 to 3.0", CompRelease},
      {"comp.attack", kBothFamilies, Scope::kInput, "ms, 5 to 200 (nearest list entry)",
       CompAttack},
      {"comp.makeup", kBothFamilies, Scope::kInput, "dB, 0 to 12 in 0.5 dB steps", CompMakeup},
      {"comp.bypass", kBothFamilies, Scope::kInput, "on, off", CompBypass},
      {"lim.threshold", kBothFamilies, Scope::kOutput, "dB, -18 to +12 in 0.2 dB steps",
       LimThreshold},
      {"lim.release", kBothFamilies, Scope::kOutput, "s, 0.1 to 5.0", LimRelease},
      {"lim.attack", kBothFamilies, Scope::kOutput, "ms, 1 to 900 (nearest list entry)", LimAttack},
      {"lim.bypass", kBothFamilies, Scope::kOutput, "on, off", LimBypass},
      {"eq.N.type", kBothFamilies, Scope::kChannel,
       "Bell, HiShQ, LoShQ, HP-Q, LP-Q, Notch (a new type resets the band gain to 0 dB)", BandType},
      {"eq.N.freq", kBothFamilies, Scope::kChannel, "Hz, 20 to 20000", BandFrequency},
      {"eq.N.gain", kBothFamilies, Scope::kChannel, "dB, -15 to +15 in 0.5 dB steps", BandGain},
      {"eq.N.q", kBothFamilies, Scope::kChannel,
       "Q on the band type's table (Bell 0.4 to 128, Notch 4 to 104, others 0.1 to 5.1)", BandQ},
      {"eq.N.bypass", kBothFamilies, Scope::kChannel, "on, off", BandBypass},
      {"eq.bypass", kBothFamilies, Scope::kChannel, "on, off (the whole EQ of the channel)",
       EqBypass},
      {"eq.flat", kBothFamilies, Scope::kChannel, "yes", EqFlat},
      {"hp.freq", kBothFamilies, Scope::kOutput, "Hz, 20 to 20000", HighPassFrequency},
      {"hp.slope", kBothFamilies, Scope::kOutput,
       "0 to 8 or the caption: Bypass, \"- 6 dB/oct BW\", \"-12dB/oct BW\", \"-12dB/oct LR\", "
       "\"-12dB/oct BS\", \"-18dB/oct BW\", \"-24dB/oct BW\", \"-24dB/oct LR\", \"-24dB/oct BS\"",
       HighPassSlope},
      {"lp.freq", kBothFamilies, Scope::kOutput, "Hz, 20 to 20000", LowPassFrequency},
      {"lp.slope", kBothFamilies, Scope::kOutput, "as hp.slope", LowPassSlope},
      {"drive", kBothFamilies, Scope::kOutput, "100V (\"16 Ohm - 100V\"), 70V (\"4-8 Ohm - 70V\")",
       SpeakerDrive},
      {"source", kFamilyA, Scope::kOutput, "L, R, L+R (\"Input L\", \"Input R\", \"Input L+R\")",
       OutputSource},
      {"mix.IN.on", kFamilyB, Scope::kOutput, "on, off; IN = In1L, In1R, In2L, In2R or 1 to 4",
       MixerOn},
      {"mix.IN.level", kFamilyB, Scope::kOutput, "dB, -30 to 0", MixerLevel},
      {"route.N.on", kFamilyB, Scope::kInput, "on, off; N = 1 to 4: ANA L, ANA R, DIG L, DIG R",
       RoutingOn},
      {"route.N.level", kFamilyB, Scope::kInput, "dB, -30 to 0", RoutingLevel},
      {"input.source", kFamilyA, Scope::kDevice, "analog, digital, noise", InputSource},
      {"input.analog", kFamilyA, Scope::kDevice, "input2 (\"Input 2 L/R\"), input1", AnalogMode},
      {"input.digital", kBothFamilies, Scope::kDevice,
       "coaxial, optical (family A: only while the digital input is the source)", DigitalMode},
      {"noise.type", kBothFamilies, Scope::kDevice, "white, pink", NoiseType},
      {"noise.level", kBothFamilies, Scope::kDevice, "dB, -40 to 0", NoiseLevel},
      {"noise.enable", kFamilyB, Scope::kDevice, "on, off", NoiseEnable},
      {"standby", kBothFamilies, Scope::kDevice, "on, off", Standby},
      {"sleep", kBothFamilies, Scope::kDevice, "on, off", SleepMode},
      {"meter", kBothFamilies, Scope::kDevice, "0, 1, 2 or the caption", MeterMode},
      {"lineout", kBothFamilies, Scope::kDevice, "on, off (RK-540 and 540S)", LineOut},
  };
  return kRows;
}

std::optional<int> ResolveChannel(const QString& text, int device_type) {
  const protocol::Layout& layout = protocol::LayoutOfType(device_type);
  bool is_number = false;
  const int number = text.toInt(&is_number, 10);
  if (is_number) return layout.IsChannel(number) ? std::optional<int>(number) : std::nullopt;
  for (int ch = 0; ch < layout.channel_count; ++ch) {
    if (protocol::ChannelName(device_type, ch).compare(text, Qt::CaseInsensitive) == 0) return ch;
  }
  return std::nullopt;
}

namespace {

// Mixer inputs by channel name or by number 1 to 4.
std::optional<int> MixerInput(const QString& text) {
  bool is_number = false;
  const int number = text.toInt(&is_number, 10);
  if (is_number) {
    if (number >= 1 && number <= protocol::kMixerSends) return number - 1;
    return std::nullopt;
  }
  for (int input = 0; input < protocol::kMixerSends; ++input) {
    if (protocol::ChannelName(3, input).compare(text, Qt::CaseInsensitive) == 0) return input;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ResolvedParameter> ResolveParameter(const QString& name, int device_type,
                                                  QString* error) {
  QStringList parts = name.toLower().split(QLatin1Char('.'));
  int index = -1;
  if (parts.size() == 3 && parts[0] == QLatin1String("mix")) {
    const auto input = MixerInput(parts[1]);
    if (!input) {
      *error = QStringLiteral("\"%1\" is not a mixer input (In1L, In1R, In2L, In2R or 1 to 4).")
                   .arg(parts[1]);
      return std::nullopt;
    }
    index = *input;
    parts[1] = QStringLiteral("in");
  } else if (parts.size() == 3) {
    bool is_number = false;
    const int number = parts[1].toInt(&is_number, 10);
    if (!is_number || number < 1) {
      *error = QStringLiteral("\"%1\" is not a band or source number from 1.").arg(parts[1]);
      return std::nullopt;
    }
    index = number - 1;
    parts[1] = QStringLiteral("n");
  }
  const QString key = parts.join(QLatin1Char('.'));
  const int family = FamilyBit(protocol::FamilyOf(device_type));
  for (const ParameterRow& row : ParameterTable()) {
    if (QString::fromLatin1(row.name).toLower() != key) continue;
    if ((row.families & family) == 0) {
      *error = QStringLiteral("A device of family %1 has no parameter \"%2\".")
                   .arg(family == kFamilyB ? QStringLiteral("B") : QStringLiteral("A"), name);
      return std::nullopt;
    }
    return ResolvedParameter{&row, index};
  }
  *error = QStringLiteral("\"%1\" is not a parameter; see tessaly-cli help set.").arg(name);
  return std::nullopt;
}

}  // namespace tessaly::cli
