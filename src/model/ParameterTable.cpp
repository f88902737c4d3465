#include "model/EditTypes.h"
#include "model/OperationParts.h"
#include "model/ParameterDescriptor.h"
#include "protocol/FlatEq.h"
#include "protocol/ValueLists.h"

namespace tessaly::model {
namespace {

using namespace ops;  // NOLINT(google-build-using-namespace): the table is built from them
using protocol::ScaleKind;
using V = ValueKind;

constexpr KnobTrack kGainKnob{360, 1580, 1220};
constexpr KnobTrack kDynamicsKnob{480, 2500, 2020};
constexpr KnobTrack kEqGainKnob{720, 1920, 1200};

ParameterDescriptor Scaled(const char* name, const char* caption, Scope scope, ScaleKind scale,
                           std::optional<KnobTrack> knob = std::nullopt, int families = 3) {
  ParameterDescriptor d;
  d.name = QString::fromLatin1(name);
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

ParameterDescriptor Choice(const char* name, const char* caption, Scope scope, QStringList captions,
                           QList<QStringList> aliases = {}, int families = 3) {
  ParameterDescriptor d;
  d.name = QString::fromLatin1(name);
  d.caption = QString::fromLatin1(caption);
  d.families = families;
  d.scope = scope;
  d.kind = V::kChoice;
  d.maximum = static_cast<int>(captions.size()) - 1;
  d.captions = std::move(captions);
  d.aliases = std::move(aliases);
  return d;
}

ParameterDescriptor Switch(const char* name, const char* caption, Scope scope, int families = 3) {
  ParameterDescriptor d =
      Choice(name, caption, scope, {QStringLiteral("off"), QStringLiteral("on")},
             {{QStringLiteral("false"), QStringLiteral("no")},
              {QStringLiteral("true"), QStringLiteral("yes")}},
             families);
  d.kind = V::kSwitch;
  return d;
}

ParameterDescriptor Frequency(const char* name, const char* caption, Scope scope) {
  ParameterDescriptor d;
  d.name = QString::fromLatin1(name);
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

// One row: the description with its identity and operations.
ParameterDescriptor Row(ParamId id, ParameterDescriptor d, Operation op) {
  d.id = id;
  d.op = op;
  return d;
}

std::vector<ParameterDescriptor> Build() {
  using protocol::CompressorValues;
  using protocol::EqBandValues;
  using protocol::GateValues;
  using protocol::LimiterValues;
  using P = ParamId;
  constexpr int kHp = protocol::kFilterHighPass;
  constexpr int kLp = protocol::kFilterLowPass;
  const Scope in = Scope::kInput;
  const Scope out = Scope::kOutput;
  const Scope any = Scope::kAnyChannel;
  const Scope dev = Scope::kDevice;
  const auto gate = [](C t) { return t.linking.LinkGate(t.slot, t.ch); };
  const auto comp = [](C t) { return t.linking.LinkCompressor(t.slot, t.ch); };
  const auto lim = [](C t) { return t.linking.LinkLimiter(t.slot, t.ch); };
  const auto band = [](C t) { return t.linking.LinkEqBand(t.slot, t.ch, t.element); };
  const auto bands = CurveEffect::kBand;
  const QStringList slopes = Names(protocol::XoverSlopeName, protocol::kXoverSlopeCount);

  std::vector<ParameterDescriptor> list;
  const auto add = [&list](ParamId id, ParameterDescriptor d, Operation op) {
    list.push_back(Row(id, std::move(d), op));
  };

  add(P::kGain, Scaled("gain", "Gain", any, ScaleKind::kGain, kGainKnob),
      {[](C t) { return ImageByte(t, t.layout.gain_offset[At(t.ch)]); },
       [](C t, int i, bool) { return t.ops.SendGain(t.slot, t.ch, Byte(i)); },
       [](C t) { return t.linking.LinkGain(t.slot, t.ch); }});
  {
    ParameterDescriptor d;
    d.name = QStringLiteral("delay");
    d.caption = QStringLiteral("Delay");
    d.kind = V::kDelay;
    d.maximum = 960 * kDelaySamplesPerMs + protocol::kMaxDelaySamples;
    add(P::kDelay, d,
        {[](C t) {
           const auto v = protocol::ReadDelay(t.data(), t.ch);
           return v ? Read(v->milliseconds * kDelaySamplesPerMs + v->samples) : std::nullopt;
         },
         [](C t, int i, bool) {
           return t.ops.SendDelay(t.slot, t.ch, i / kDelaySamplesPerMs, i % kDelaySamplesPerMs);
         },
         [](C t) { return t.linking.LinkDelay(t.slot, t.ch); }});
  }
  add(P::kMute, Switch("mute", "Mute", any),
      {[](C t) { return Read(t.state().mute[At(t.ch)] ? 1 : 0); },
       [](C t, int i, bool) { return t.ops.SendMute(t.slot, t.ch, On(i)); },
       [](C t) { return t.linking.LinkMute(t.slot, t.ch); }});
  add(P::kPolarity,
      Choice("polarity", "Polarity", any, {QStringLiteral("normal"), QStringLiteral("inverted")},
             {{QStringLiteral("off"), QStringLiteral("0'")},
              {QStringLiteral("on"), QStringLiteral("180"), QStringLiteral("180'")}}),
      {[](C t) { return Read(t.state().polarity[At(t.ch)] ? 1 : 0); },
       [](C t, int i, bool) { return t.ops.SendPolarity(t.slot, t.ch, On(i)); },
       [](C t) { return t.linking.LinkPolarity(t.slot, t.ch); }});
  add(P::kLink, With(Switch("link", "Link", any), "(family A: either input links both)"),
      {[](C t) {
         const bool family_a_input =
             t.layout.family == protocol::Family::kA && t.layout.IsInput(t.ch);
         return Read(family_a_input ? t.state().input_link_on : t.state().link_member[At(t.ch)]);
       },
       [](C t, int i, bool) { return t.ops.SendLink(t.slot, t.ch, On(i)); }});

  add(P::kGateThreshold,
      Scaled("gate.threshold", "Gate Threshold", in, ScaleKind::kGateThreshold, kDynamicsKnob),
      {GateRead<&GateValues::threshold>, GateWrite<&GateValues::threshold>, gate});
  add(P::kGateRelease,
      Scaled("gate.release", "Gate Release", in, ScaleKind::kGateRelease, kDynamicsKnob),
      {GateRead<&GateValues::release>, GateWrite<&GateValues::release>, gate});
  add(P::kGateAttack,
      Scaled("gate.attack", "Gate Attack", in, ScaleKind::kGateAttack, kDynamicsKnob),
      {GateRead<&GateValues::attack>, GateWrite<&GateValues::attack>, gate});
  add(P::kGateBypass, Switch("gate.bypass", "Gate Bypass", in),
      {GateRead<&GateValues::bypass>, GateWrite<&GateValues::bypass>, gate});
  add(P::kCompThreshold,
      Scaled("comp.threshold", "Compressor Threshold", in, ScaleKind::kThreshold, kDynamicsKnob),
      {CompRead<&CompressorValues::threshold>, CompWrite<&CompressorValues::threshold>, comp});
  add(P::kCompRatio, Scaled("comp.ratio", "Compressor Ratio", in, ScaleKind::kRatio, kDynamicsKnob),
      {CompRead<&CompressorValues::ratio>, CompWrite<&CompressorValues::ratio>, comp});
  add(P::kCompKnee, Scaled("comp.knee", "Compressor Knee", in, ScaleKind::kKnee, kDynamicsKnob),
      {CompRead<&CompressorValues::knee>, CompWrite<&CompressorValues::knee>, comp});
  add(P::kCompRelease,
      Scaled("comp.release", "Compressor Release", in, ScaleKind::kCompRelease, kDynamicsKnob),
      {CompRead<&CompressorValues::release>, CompWrite<&CompressorValues::release>, comp});
  add(P::kCompAttack,
      Scaled("comp.attack", "Compressor Attack", in, ScaleKind::kCompAttack, kDynamicsKnob),
      {CompRead<&CompressorValues::attack>, CompWrite<&CompressorValues::attack>, comp});
  add(P::kCompMakeup,
      Scaled("comp.makeup", "Compressor Makeup", in, ScaleKind::kMakeup, kDynamicsKnob),
      {CompRead<&CompressorValues::makeup>, CompWrite<&CompressorValues::makeup>, comp});
  add(P::kCompBypass, Switch("comp.bypass", "Compressor Bypass", in),
      {DynBypassRead, CompBypassWrite, comp});
  add(P::kLimThreshold,
      Scaled("lim.threshold", "Limiter Threshold", out, ScaleKind::kThreshold, kDynamicsKnob),
      {LimRead<&LimiterValues::threshold>, LimWrite<&LimiterValues::threshold>, lim});
  add(P::kLimRelease,
      Scaled("lim.release", "Limiter Release", out, ScaleKind::kLimRelease, kDynamicsKnob),
      {LimRead<&LimiterValues::release>, LimWrite<&LimiterValues::release>, lim});
  add(P::kLimAttack,
      Scaled("lim.attack", "Limiter Attack", out, ScaleKind::kLimAttack, kDynamicsKnob),
      {LimRead<&LimiterValues::attack>, LimWrite<&LimiterValues::attack>, lim});
  add(P::kLimBypass, Switch("lim.bypass", "Limiter Bypass", out),
      {DynBypassRead, LimBypassWrite, lim});

  {
    ParameterDescriptor d = With(Choice("eq.N.type", "EQ Type", Scope::kBand,
                                        Names(protocol::EqTypeName, protocol::kEqTypeCount)),
                                 "(a new type resets the band gain to 0 dB)");
    d.same_value_is_no_edit = true;
    add(P::kEqType, d,
        {BandRead<&EqBandValues::type>, BandTypeWrite<>, band, bands, BandTypeWrite<false>});
  }
  add(P::kEqFrequency, Frequency("eq.N.freq", "EQ Frequency", Scope::kBand),
      {BandRead<&EqBandValues::frequency>, BandWrite<&EqBandValues::frequency>, band, bands,
       BandWrite<&EqBandValues::frequency, false>});
  add(P::kEqGain, Scaled("eq.N.gain", "EQ Gain", Scope::kBand, ScaleKind::kEqGain, kEqGainKnob),
      {BandRead<&EqBandValues::gain>, BandWrite<&EqBandValues::gain>, band, bands,
       BandWrite<&EqBandValues::gain, false>});
  {
    ParameterDescriptor d;
    d.name = QStringLiteral("eq.N.q");
    d.caption = QStringLiteral("EQ Q");
    d.scope = Scope::kBand;
    d.kind = V::kBandQ;
    d.maximum = protocol::ScaleOf(ScaleKind::kBellQ).TopByte();
    add(P::kEqQ, d,
        {BandRead<&EqBandValues::q>, BandWrite<&EqBandValues::q>, band, bands,
         BandWrite<&EqBandValues::q, false>});
  }
  add(P::kEqBandBypass, Switch("eq.N.bypass", "EQ Band Bypass", Scope::kBand),
      {BandBypassRead, BandBypassWrite, band, bands});
  add(P::kEqBypass, With(Switch("eq.bypass", "EQ Bypass", any), "(the whole EQ of the channel)"),
      {[](C t) { return Read(t.state().eq_bypass[At(t.ch)] ? 1 : 0); },
       [](C t, int i, bool) { return t.ops.SendEqSwitch(t.slot, t.ch, On(i)); },
       [](C t) { return t.linking.LinkEqSwitch(t.slot, t.ch); }, CurveEffect::kChannelBands});
  {
    ParameterDescriptor d = Choice("eq.flat", "EQ Flat", any, {QStringLiteral("yes")});
    d.kind = V::kAction;
    d.minimum = d.maximum = 1;
    add(P::kEqFlat, d,
        {[](C) { return Read(1); },
         [](C t, int, bool) { return protocol::FlattenEq(t.ops, t.store, t.slot, t.ch); },
         [](C t) { return t.linking.LinkFlatEq(t.slot, t.ch); }, CurveEffect::kChannelBands});
  }
  add(P::kHpFrequency, Frequency("hp.freq", "High-Pass Frequency", Scope::kCrossover),
      {XoverFrequencyRead<kHp>, XoverWrite<kHp, false>,
       [](C t) { return t.linking.LinkCrossover(t.slot, t.ch, kHp); }, CurveEffect::kHighPass,
       XoverWrite<kHp, false, false>});
  add(P::kHpSlope, Choice("hp.slope", "High-Pass Slope", Scope::kCrossover, slopes),
      {XoverSlopeRead<kHp>, XoverWrite<kHp, true>,
       [](C t) { return t.linking.LinkCrossover(t.slot, t.ch, kHp); }, CurveEffect::kHighPass,
       XoverWrite<kHp, true, false>});
  add(P::kLpFrequency, Frequency("lp.freq", "Low-Pass Frequency", Scope::kCrossover),
      {XoverFrequencyRead<kLp>, XoverWrite<kLp, false>,
       [](C t) { return t.linking.LinkCrossover(t.slot, t.ch, kLp); }, CurveEffect::kLowPass,
       XoverWrite<kLp, false, false>});
  add(P::kLpSlope, Choice("lp.slope", "Low-Pass Slope", Scope::kCrossover, slopes),
      {XoverSlopeRead<kLp>, XoverWrite<kLp, true>,
       [](C t) { return t.linking.LinkCrossover(t.slot, t.ch, kLp); }, CurveEffect::kLowPass,
       XoverWrite<kLp, true, false>});
  add(P::kDrive,
      Choice("drive", "Speaker Drive", out,
             Names(protocol::SpeakerDriveName, protocol::kSpeakerDriveCount),
             {{QStringLiteral("100V"), QStringLiteral("16ohm")},
              {QStringLiteral("70V"), QStringLiteral("4-8ohm")}}),
      {[](C t) { return Read(t.state().speaker_drive[At(t.ch - t.layout.first_output)]); },
       [](C t, int i, bool) {
         return t.ops.SendSpeakerDrive(t.slot, t.ch - t.layout.first_output, i);
       },
       [](C t) { return t.linking.LinkSpeakerDrive(t.slot, t.ch); }});
  add(P::kSource,
      Choice("source", "Output Source", out,
             Names(protocol::OutputSourceName, protocol::kOutputSourceCount),
             {{QStringLiteral("L")}, {QStringLiteral("R")}, {QStringLiteral("L+R")}}, kFamilyA),
      {[](C t) {
         return t.layout.IsOutput(t.ch)
                    ? ImageByte(t, t.layout.route_offset[At(t.ch - t.layout.first_output)])
                    : std::nullopt;
       },
       [](C t, int i, bool) { return t.ops.SendOutputSource(t.slot, t.ch, i); }});
  add(P::kMixOn,
      With(Switch("mix.IN.on", "Mixer Send", Scope::kMixerSend, kFamilyB),
           "; IN = In1L, In1R, In2L, In2R or 1 to 4"),
      {MixerRead<false>, MixerWrite<false>});
  add(P::kMixLevel,
      Scaled("mix.IN.level", "Mixer Level", Scope::kMixerSend, ScaleKind::kSendLevel, std::nullopt,
             kFamilyB),
      {MixerRead<true>, MixerWrite<true>});
  add(P::kRouteOn,
      With(Switch("route.N.on", "Routing", Scope::kRoutingPoint, kFamilyB),
           "; N = 1 to 4: ANA L, ANA R, DIG L, DIG R"),
      {RoutingRead<false>, RoutingWrite<false>});
  add(P::kRouteLevel,
      Scaled("route.N.level", "Routing Level", Scope::kRoutingPoint, ScaleKind::kSendLevel,
             std::nullopt, kFamilyB),
      {RoutingRead<true>, RoutingWrite<true>});

  add(P::kInputSource,
      Choice("input.source", "Input Source", dev,
             {QStringLiteral("Analog Input"), QStringLiteral("Digital Input"),
              QStringLiteral("Noise Generator")},
             {{QStringLiteral("analog")}, {QStringLiteral("digital")}, {QStringLiteral("noise")}},
             kFamilyA),
      {[](C t) { return ImageByte(t, t.layout.input_source); },
       InputModeWrite<protocol::InputModeField::kSource>});
  add(P::kInputAnalog,
      Choice("input.analog", "Analog Input", dev,
             {QStringLiteral("Input 2 L/R"), QStringLiteral("Input 1 L/R")},
             {{QStringLiteral("input2")}, {QStringLiteral("input1")}}, kFamilyA),
      {[](C t) { return ImageByte(t, t.layout.analog_mode); },
       InputModeWrite<protocol::InputModeField::kAnalogMode>});
  add(P::kInputDigital,
      With(Choice("input.digital", "Digital Input", dev,
                  {protocol::DigitalModeName(0), protocol::DigitalModeName(1)}),
           "(family A: only while the digital input is the source)"),
      {[](C t) {
         return t.layout.family == protocol::Family::kB ? TailRead(t, protocol::kTailDigitalMode)
                                                        : ImageByte(t, t.layout.digital_mode);
       },
       [](C t, int i, bool) {
         return t.layout.family == protocol::Family::kB
                    ? t.ops.SendDigitalMode(t.slot, i)
                    : t.ops.SendInputMode(t.slot, protocol::InputModeField::kDigitalMode, i);
       }});
  add(P::kNoiseType,
      Choice("noise.type", "Noise Type", dev,
             {QStringLiteral("White Noise"), QStringLiteral("Pink Noise")},
             {{QStringLiteral("white")}, {QStringLiteral("pink")}}),
      {[](C t) { return Read(t.state().noise_type); },
       [](C t, int i, bool) {
         return t.ops.SendNoiseGenerator(t.slot, i, t.state().noise_level);
       }});
  add(P::kNoiseLevel, Scaled("noise.level", "Noise Level", dev, ScaleKind::kNoiseLevel, kGainKnob),
      {[](C t) { return Read(t.state().noise_level); },
       [](C t, int i, bool) { return t.ops.SendNoiseGenerator(t.slot, t.state().noise_type, i); }});
  add(P::kNoiseEnable, Switch("noise.enable", "Noise Generator", dev, kFamilyB),
      {[](C t) { return Read(t.state().noise_enable); },
       [](C t, int i, bool) {
         auto* b = FamilyB(t);
         return b ? b->SendNoiseEnable(t.slot, On(i)) : EditResult::kNotSupported;
       }});
  {
    ParameterDescriptor d = Switch("standby", "Standby", dev);
    d.undoable = false;
    add(P::kStandby, d,
        {[](C t) { return Read(t.state().standby); },
         [](C t, int i, bool) { return t.ops.SendStandby(t.slot, On(i)); }});
  }
  add(P::kSleep, Switch("sleep", "Sleep Mode", dev),
      {[](C t) { return Read(t.state().sleep_mode); },
       [](C t, int i, bool) { return t.ops.SendSleepMode(t.slot, On(i)); }});
  {
    ParameterDescriptor d = Choice("meter", "Meter Mode", dev, MeterCaptions(protocol::Family::kA));
    d.family_b_captions = MeterCaptions(protocol::Family::kB);
    add(P::kMeter, d,
        {[](C t) { return Read(t.state().meter_mode); },
         [](C t, int i, bool) { return t.ops.SendMeterMode(t.slot, i); }});
  }
  add(P::kLineOut, With(Switch("lineout", "Line Out", dev), "(RK-540 and 540S)"),
      {[](C t) { return ImageByte(t, t.layout.line_out); },
       [](C t, int i, bool) { return t.ops.SendLineOut(t.slot, On(i)); }});
  add(P::kTriggerInput, Switch("trigger.input", "Input Trigger", dev, kFamilyB),
      {[](C t) {
         // Bit 2 of the trigger byte: the input trigger.
         const auto byte = TailRead(t, protocol::kTailTrigger);
         return byte ? Read((*byte >> 2) & 1) : std::nullopt;
       },
       [](C t, int i, bool) {
         auto* b = FamilyB(t);
         return b ? b->SendInputTrigger(t.slot, On(i)) : EditResult::kNotSupported;
       }});
  add(P::kTriggerStandby, Switch("trigger.standby", "Standby Mirroring", dev, kFamilyB),
      {[](C t) { return TailRead(t, protocol::kTailMirroring); },
       [](C t, int i, bool) {
         auto* b = FamilyB(t);
         return b ? b->SendStandbyMirroring(t.slot, On(i)) : EditResult::kNotSupported;
       }});
  add(P::kDelayUnit,
      Choice("delay.unit", "Delay Unit", dev, {QStringLiteral("Time"), QStringLiteral("Meter")},
             {{QStringLiteral("ms")}, {QStringLiteral("m")}}),
      {[](C t) { return Read(t.state().delay_unit); },
       [](C t, int i, bool) { return t.ops.SetDelayUnit(t.slot, i); }});
  return list;
}

}  // namespace

const std::vector<ParameterDescriptor>& Parameters() {
  static const std::vector<ParameterDescriptor> kTable = Build();
  return kTable;
}

const ParameterDescriptor& Param(ParamId id) { return Parameters()[static_cast<size_t>(id)]; }

const ParameterDescriptor& EditTarget::parameter() const { return Param(id); }

}  // namespace tessaly::model
