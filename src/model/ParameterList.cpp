#include "model/ParameterDescriptor.h"
#include "protocol/CommonOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ValueLists.h"

namespace tessaly::model {
namespace {

using protocol::ScaleKind;
using V = ValueKind;

constexpr KnobTrack kGainKnob{360, 1580, 1220};
constexpr KnobTrack kDynamicsKnob{480, 2500, 2020};
constexpr KnobTrack kEqGainKnob{720, 1920, 1200};

ParameterDescriptor Scaled(const char* id, const char* caption, Scope scope, ScaleKind scale,
                           std::optional<KnobTrack> knob = std::nullopt, int families = 3) {
  ParameterDescriptor d;
  d.id = QString::fromLatin1(id);
  d.caption = QString::fromLatin1(caption);
  d.families = families;
  d.scope = scope;
  d.kind = V::kScale;
  d.scale = scale;
  d.maximum = protocol::ScaleOf(scale).TopByte();
  d.unit = protocol::ScaleOf(scale).Unit();
  d.knob = knob;
  return d;
}

ParameterDescriptor Choice(const char* id, const char* caption, Scope scope, QStringList captions,
                           QList<QStringList> aliases = {}, int families = 3) {
  ParameterDescriptor d;
  d.id = QString::fromLatin1(id);
  d.caption = QString::fromLatin1(caption);
  d.families = families;
  d.scope = scope;
  d.kind = V::kChoice;
  d.maximum = static_cast<int>(captions.size()) - 1;
  d.captions = std::move(captions);
  d.aliases = std::move(aliases);
  return d;
}

ParameterDescriptor Switch(const char* id, const char* caption, Scope scope, int families = 3) {
  ParameterDescriptor d = Choice(id, caption, scope, {QStringLiteral("off"), QStringLiteral("on")},
                                 {{QStringLiteral("false"), QStringLiteral("no")},
                                  {QStringLiteral("true"), QStringLiteral("yes")}},
                                 families);
  d.kind = V::kSwitch;
  return d;
}

ParameterDescriptor Frequency(const char* id, const char* caption, Scope scope) {
  ParameterDescriptor d;
  d.id = QString::fromLatin1(id);
  d.caption = QString::fromLatin1(caption);
  d.scope = scope;
  d.kind = V::kFrequency;
  d.minimum = protocol::kMinFrequency;
  d.maximum = protocol::kMaxFrequency;
  d.unit = QStringLiteral("Hz");
  return d;
}

ParameterDescriptor With(ParameterDescriptor d, const char* note) {
  d.note = QString::fromLatin1(note);
  return d;
}

template <typename Name>
QStringList Names(Name name, int count) {
  QStringList list;
  for (int i = 0; i < count; ++i) list << name(i);
  return list;
}

QStringList MeterCaptions(protocol::Family family) {
  const auto& captions = protocol::MeterModeCaptions(family);
  return QStringList(captions.begin(), captions.end());
}

std::vector<ParameterDescriptor> Build() {
  const Scope in = Scope::kInput;
  const Scope out = Scope::kOutput;
  const Scope any = Scope::kAnyChannel;
  const Scope dev = Scope::kDevice;
  std::vector<ParameterDescriptor> list;
  list.push_back(Scaled("gain", "Gain", any, ScaleKind::kGain, kGainKnob));
  {
    ParameterDescriptor d;
    d.id = QStringLiteral("delay");
    d.caption = QStringLiteral("Delay");
    d.kind = V::kDelay;
    d.maximum = 960 * kDelaySamplesPerMs + protocol::kMaxDelaySamples;
    list.push_back(d);
  }
  list.push_back(Switch("mute", "Mute", any));
  list.push_back(Choice("polarity", "Polarity", any,
                        {QStringLiteral("normal"), QStringLiteral("inverted")},
                        {{QStringLiteral("off"), QStringLiteral("0'")},
                         {QStringLiteral("on"), QStringLiteral("180"), QStringLiteral("180'")}}));
  list.push_back(With(Switch("link", "Link", any), "(family A: either input links both)"));
  list.push_back(
      Scaled("gate.threshold", "Gate Threshold", in, ScaleKind::kGateThreshold, kDynamicsKnob));
  list.push_back(
      Scaled("gate.release", "Gate Release", in, ScaleKind::kGateRelease, kDynamicsKnob));
  list.push_back(Scaled("gate.attack", "Gate Attack", in, ScaleKind::kGateAttack, kDynamicsKnob));
  list.push_back(Switch("gate.bypass", "Gate Bypass", in));
  list.push_back(
      Scaled("comp.threshold", "Compressor Threshold", in, ScaleKind::kThreshold, kDynamicsKnob));
  list.push_back(Scaled("comp.ratio", "Compressor Ratio", in, ScaleKind::kRatio, kDynamicsKnob));
  list.push_back(Scaled("comp.knee", "Compressor Knee", in, ScaleKind::kKnee, kDynamicsKnob));
  list.push_back(
      Scaled("comp.release", "Compressor Release", in, ScaleKind::kCompRelease, kDynamicsKnob));
  list.push_back(
      Scaled("comp.attack", "Compressor Attack", in, ScaleKind::kCompAttack, kDynamicsKnob));
  list.push_back(Scaled("comp.makeup", "Compressor Makeup", in, ScaleKind::kMakeup, kDynamicsKnob));
  list.push_back(Switch("comp.bypass", "Compressor Bypass", in));
  list.push_back(
      Scaled("lim.threshold", "Limiter Threshold", out, ScaleKind::kThreshold, kDynamicsKnob));
  list.push_back(
      Scaled("lim.release", "Limiter Release", out, ScaleKind::kLimRelease, kDynamicsKnob));
  list.push_back(Scaled("lim.attack", "Limiter Attack", out, ScaleKind::kLimAttack, kDynamicsKnob));
  list.push_back(Switch("lim.bypass", "Limiter Bypass", out));
  list.push_back(With(Choice("eq.N.type", "EQ Type", Scope::kBand,
                             Names(protocol::EqTypeName, protocol::kEqTypeCount)),
                      "(a new type resets the band gain to 0 dB)"));
  list.push_back(Frequency("eq.N.freq", "EQ Frequency", Scope::kBand));
  list.push_back(Scaled("eq.N.gain", "EQ Gain", Scope::kBand, ScaleKind::kEqGain, kEqGainKnob));
  {
    ParameterDescriptor d;
    d.id = QStringLiteral("eq.N.q");
    d.caption = QStringLiteral("EQ Q");
    d.scope = Scope::kBand;
    d.kind = V::kBandQ;
    d.maximum = protocol::ScaleOf(ScaleKind::kBellQ).TopByte();
    list.push_back(d);
  }
  list.push_back(Switch("eq.N.bypass", "EQ Band Bypass", Scope::kBand));
  list.push_back(With(Switch("eq.bypass", "EQ Bypass", any), "(the whole EQ of the channel)"));
  {
    ParameterDescriptor d = Choice("eq.flat", "EQ Flat", any, {QStringLiteral("yes")});
    d.kind = V::kAction;
    d.minimum = d.maximum = 1;
    list.push_back(d);
  }
  const QStringList slopes = Names(protocol::XoverSlopeName, protocol::kXoverSlopeCount);
  list.push_back(Frequency("hp.freq", "High-Pass Frequency", Scope::kCrossover));
  list.push_back(Choice("hp.slope", "High-Pass Slope", Scope::kCrossover, slopes));
  list.push_back(Frequency("lp.freq", "Low-Pass Frequency", Scope::kCrossover));
  list.push_back(Choice("lp.slope", "Low-Pass Slope", Scope::kCrossover, slopes));
  list.push_back(Choice("drive", "Speaker Drive", out,
                        Names(protocol::SpeakerDriveName, protocol::kSpeakerDriveCount),
                        {{QStringLiteral("100V"), QStringLiteral("16ohm")},
                         {QStringLiteral("70V"), QStringLiteral("4-8ohm")}}));
  list.push_back(Choice("source", "Output Source", out,
                        Names(protocol::OutputSourceName, protocol::kOutputSourceCount),
                        {{QStringLiteral("L")}, {QStringLiteral("R")}, {QStringLiteral("L+R")}},
                        kFamilyA));
  list.push_back(With(Switch("mix.IN.on", "Mixer Send", Scope::kMixerSend, kFamilyB),
                      "; IN = In1L, In1R, In2L, In2R or 1 to 4"));
  list.push_back(Scaled("mix.IN.level", "Mixer Level", Scope::kMixerSend, ScaleKind::kSendLevel,
                        std::nullopt, kFamilyB));
  list.push_back(With(Switch("route.N.on", "Routing", Scope::kRoutingPoint, kFamilyB),
                      "; N = 1 to 4: ANA L, ANA R, DIG L, DIG R"));
  list.push_back(Scaled("route.N.level", "Routing Level", Scope::kRoutingPoint,
                        ScaleKind::kSendLevel, std::nullopt, kFamilyB));
  list.push_back(
      Choice("input.source", "Input Source", dev,
             {QStringLiteral("Analog Input"), QStringLiteral("Digital Input"),
              QStringLiteral("Noise Generator")},
             {{QStringLiteral("analog")}, {QStringLiteral("digital")}, {QStringLiteral("noise")}},
             kFamilyA));
  list.push_back(Choice("input.analog", "Analog Input", dev,
                        {QStringLiteral("Input 2 L/R"), QStringLiteral("Input 1 L/R")},
                        {{QStringLiteral("input2")}, {QStringLiteral("input1")}}, kFamilyA));
  list.push_back(With(Choice("input.digital", "Digital Input", dev,
                             {protocol::DigitalModeName(0), protocol::DigitalModeName(1)}),
                      "(family A: only while the digital input is the source)"));
  list.push_back(Choice("noise.type", "Noise Type", dev,
                        {QStringLiteral("White Noise"), QStringLiteral("Pink Noise")},
                        {{QStringLiteral("white")}, {QStringLiteral("pink")}}));
  list.push_back(Scaled("noise.level", "Noise Level", dev, ScaleKind::kNoiseLevel, kGainKnob));
  list.push_back(Switch("noise.enable", "Noise Generator", dev, kFamilyB));
  {
    ParameterDescriptor d = Switch("standby", "Standby", dev);
    d.undoable = false;
    list.push_back(d);
  }
  list.push_back(Switch("sleep", "Sleep Mode", dev));
  {
    ParameterDescriptor d = Choice("meter", "Meter Mode", dev, MeterCaptions(protocol::Family::kA));
    d.family_b_captions = MeterCaptions(protocol::Family::kB);
    list.push_back(d);
  }
  list.push_back(With(Switch("lineout", "Line Out", dev), "(RK-540 and 540S)"));
  list.push_back(Switch("trigger.input", "Input Trigger", dev, kFamilyB));
  list.push_back(Switch("trigger.standby", "Standby Mirroring", dev, kFamilyB));
  list.push_back(Choice("delay.unit", "Delay Unit", dev,
                        {QStringLiteral("Time"), QStringLiteral("Meter")},
                        {{QStringLiteral("ms")}, {QStringLiteral("m")}}));
  return list;
}

}  // namespace

const std::vector<ParameterDescriptor>& Parameters() {
  static const std::vector<ParameterDescriptor> kList = Build();
  return kList;
}

const ParameterDescriptor* FindParameter(QStringView id) {
  for (const ParameterDescriptor& d : Parameters()) {
    if (d.id.compare(id, Qt::CaseInsensitive) == 0) return &d;
  }
  return nullptr;
}

std::optional<int> ResolveChannel(QStringView text, int device_type) {
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

std::optional<ResolvedParameter> ResolveParameter(QStringView typed, int device_type,
                                                  QString* error) {
  QStringList parts = typed.toString().toLower().split(QLatin1Char('.'));
  int element = -1;
  if (parts.size() == 3 && parts[0] == QLatin1String("mix")) {
    const auto input = MixerInput(parts[1]);
    if (!input) {
      *error = QStringLiteral("\"%1\" is not a mixer input (In1L, In1R, In2L, In2R or 1 to 4).")
                   .arg(parts[1]);
      return std::nullopt;
    }
    element = *input;
    parts[1] = QStringLiteral("IN");
  } else if (parts.size() == 3) {
    bool is_number = false;
    const int number = parts[1].toInt(&is_number, 10);
    if (!is_number || number < 1) {
      *error = QStringLiteral("\"%1\" is not a band or source number from 1.").arg(parts[1]);
      return std::nullopt;
    }
    element = number - 1;
    parts[1] = QStringLiteral("N");
  }
  const ParameterDescriptor* d = FindParameter(parts.join(QLatin1Char('.')));
  if (!d) {
    *error = QStringLiteral("\"%1\" is not a parameter; see tessaly-cli help set.")
                 .arg(typed.toString());
    return std::nullopt;
  }
  const int family = FamilyBit(protocol::FamilyOf(device_type));
  if ((d->families & family) == 0) {
    *error =
        QStringLiteral("A device of family %1 has no parameter \"%2\".")
            .arg(family == kFamilyB ? QStringLiteral("B") : QStringLiteral("A"), typed.toString());
    return std::nullopt;
  }
  return ResolvedParameter{d, element};
}

}  // namespace tessaly::model
