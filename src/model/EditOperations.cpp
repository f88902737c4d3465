#include "model/EditOperations.h"

#include <QHash>

#include "protocol/CommonOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/FlatEq.h"
#include "protocol/ValueScale.h"

namespace tessaly::model {
namespace {

using protocol::EditResult;
using Read = std::optional<int>;
using C = const OpContext&;

bool On(int index) { return index != 0; }
uint8_t Byte(int index) { return static_cast<uint8_t>(index); }
size_t At(int i) { return static_cast<size_t>(i); }

protocol::FamilyBOperations* FamilyB(C t) {
  return dynamic_cast<protocol::FamilyBOperations*>(&t.ops);
}

std::optional<int> ImageByte(C t, int offset) {
  if (offset == protocol::kNoOffset) return std::nullopt;
  const auto byte = t.data().Get(offset);
  return byte ? std::optional<int>(*byte) : std::nullopt;
}

// Dynamics: read the processor, change one field, send it with the bypass.
template <auto Field>
Read GateRead(C t) {
  const auto v = protocol::ReadGate(t.data(), t.ch);
  return v ? Read((*v).*Field) : std::nullopt;
}
template <auto Field>
EditResult GateWrite(C t, int index, bool) {
  auto v = protocol::ReadGate(t.data(), t.ch);
  if (!v) return EditResult::kRefused;
  (*v).*Field = Byte(index);
  return t.ops.SendGate(t.slot, t.ch, *v);
}
template <auto Field>
Read CompRead(C t) {
  const auto v = protocol::ReadCompressor(t.data(), t.ch);
  return v ? Read((*v).*Field) : std::nullopt;
}
template <auto Field>
EditResult CompWrite(C t, int index, bool) {
  auto v = protocol::ReadCompressor(t.data(), t.ch);
  if (!v) return EditResult::kRefused;
  (*v).*Field = Byte(index);
  return t.ops.SendCompressor(t.slot, t.ch, *v, t.state().dynamics_bypass[At(t.ch)]);
}
template <auto Field>
Read LimRead(C t) {
  const auto v = protocol::ReadLimiter(t.data(), t.ch);
  return v ? Read((*v).*Field) : std::nullopt;
}
template <auto Field>
EditResult LimWrite(C t, int index, bool) {
  auto v = protocol::ReadLimiter(t.data(), t.ch);
  if (!v) return EditResult::kRefused;
  (*v).*Field = Byte(index);
  return t.ops.SendLimiter(t.slot, t.ch, *v, t.state().dynamics_bypass[At(t.ch)]);
}
Read DynBypassRead(C t) { return t.state().dynamics_bypass[At(t.ch)] ? 1 : 0; }
EditResult CompBypassWrite(C t, int index, bool) {
  const auto v = protocol::ReadCompressor(t.data(), t.ch);
  return v ? t.ops.SendCompressor(t.slot, t.ch, *v, On(index)) : EditResult::kRefused;
}
EditResult LimBypassWrite(C t, int index, bool) {
  const auto v = protocol::ReadLimiter(t.data(), t.ch);
  return v ? t.ops.SendLimiter(t.slot, t.ch, *v, On(index)) : EditResult::kRefused;
}

// EQ bands: the whole band goes out with its bypass.
std::optional<int> GlobalBand(C t) {
  const auto g = t.layout.GlobalBand(t.ch, t.element);
  return g ? std::optional<int>(*g) : std::nullopt;
}
template <auto Field>
Read BandRead(C t) {
  const auto v = protocol::ReadEqBand(t.data(), t.ch, t.element);
  return v ? Read(static_cast<int>((*v).*Field)) : std::nullopt;
}
EditResult SendBand(C t, const protocol::EqBandValues& v) {
  const auto g = GlobalBand(t);
  if (!g) return EditResult::kRefused;
  return t.ops.SendEqBand(t.slot, t.ch, t.element, v, t.state().band_bypass[At(*g)]);
}
template <bool Send>
EditResult PutBand(C t, const protocol::EqBandValues& v) {
  if (Send) return SendBand(t, v);
  return protocol::StageEqBand(t.data(), t.ch, t.element, v) ? EditResult::kDone
                                                             : EditResult::kRefused;
}
template <auto Field, bool Send = true>
EditResult BandWrite(C t, int index, bool) {
  auto v = protocol::ReadEqBand(t.data(), t.ch, t.element);
  if (!v) return EditResult::kRefused;
  (*v).*Field = static_cast<std::remove_reference_t<decltype((*v).*Field)>>(index);
  return PutBand<Send>(t, *v);
}
template <bool Send = true>
EditResult BandTypeWrite(C t, int index, bool fresh) {
  auto v = protocol::ReadEqBand(t.data(), t.ch, t.element);
  if (!v) return EditResult::kRefused;
  // A new band type brings the band's gain back to 0 dB.
  if (fresh && v->type != index) {
    v->gain = Byte(protocol::ScaleOf(protocol::ScaleKind::kEqGain).ByteOf(0.0));
  }
  v->type = Byte(index);
  return PutBand<Send>(t, *v);
}
Read BandBypassRead(C t) {
  const auto g = GlobalBand(t);
  return g ? Read(t.state().band_bypass[At(*g)] ? 1 : 0) : std::nullopt;
}
EditResult BandBypassWrite(C t, int index, bool) {
  const auto v = protocol::ReadEqBand(t.data(), t.ch, t.element);
  if (!v) return EditResult::kRefused;
  return t.ops.SendEqBand(t.slot, t.ch, t.element, *v, On(index));
}

// Crossover filters.
template <int Filter>
Read XoverFrequencyRead(C t) {
  const auto v = protocol::ReadCrossover(t.data(), t.ch, Filter);
  return v ? Read(v->frequency) : std::nullopt;
}
template <int Filter>
Read XoverSlopeRead(C t) {
  const auto v = protocol::ReadCrossover(t.data(), t.ch, Filter);
  return v ? Read(v->slope) : std::nullopt;
}
template <int Filter, bool Slope, bool Send = true>
EditResult XoverWrite(C t, int index, bool) {
  const auto v = protocol::ReadCrossover(t.data(), t.ch, Filter);
  if (!v) return EditResult::kRefused;
  const int frequency = Slope ? v->frequency : index;
  const int slope = Slope ? index : v->slope;
  if (Send) return t.ops.SendCrossover(t.slot, t.ch, Filter, frequency, slope);
  const bool staged = frequency >= 0 && frequency <= UINT16_MAX && slope >= 0 &&
                      protocol::StageCrossover(t.data(), t.ch, Filter,
                                               {static_cast<uint16_t>(frequency), Byte(slope)});
  return staged ? EditResult::kDone : EditResult::kRefused;
}

// Family B sends and cross-points: bit 7 routed, bits 0..6 the level.
template <bool Level>
Read MixerRead(C t) {
  const auto s = protocol::ReadMixerSend(t.data(), t.ch, t.element);
  if (!s) return std::nullopt;
  return Level ? protocol::SendLevel(*s) : (protocol::SendEnabled(*s) ? 1 : 0);
}
template <bool Level>
EditResult MixerWrite(C t, int index, bool) {
  const auto s = protocol::ReadMixerSend(t.data(), t.ch, t.element);
  if (!s) return EditResult::kRefused;
  return t.ops.SendOutputMixer(t.slot, t.ch, t.element,
                               Level ? protocol::SendEnabled(*s) : On(index),
                               Level ? index : protocol::SendLevel(*s));
}
template <bool Level>
Read RoutingRead(C t) {
  const auto s = protocol::ReadRouting(t.data(), t.ch, t.element);
  if (!s) return std::nullopt;
  return Level ? protocol::SendLevel(*s) : (protocol::SendEnabled(*s) ? 1 : 0);
}
template <bool Level>
EditResult RoutingWrite(C t, int index, bool) {
  const auto s = protocol::ReadRouting(t.data(), t.ch, t.element);
  if (!s) return EditResult::kRefused;
  return t.ops.SendInputRouting(t.slot, t.ch, t.element,
                                Level ? protocol::SendEnabled(*s) : On(index),
                                Level ? index : protocol::SendLevel(*s));
}

template <protocol::InputModeField Field>
EditResult InputModeWrite(C t, int index, bool) {
  return t.ops.SendInputMode(t.slot, Field, index);
}

Read TailRead(C t, int index) {
  const auto byte = t.data().Tail(index);
  return byte ? Read(*byte) : std::nullopt;
}

QHash<QString, Operation> Build() {
  using protocol::CompressorValues;
  using protocol::EqBandValues;
  using protocol::GateValues;
  using protocol::LimiterValues;
  constexpr int kHp = protocol::kFilterHighPass;
  constexpr int kLp = protocol::kFilterLowPass;
  QHash<QString, Operation> ops;
  const auto add = [&](const char* id, Operation op) { ops.insert(QString::fromLatin1(id), op); };

  add("gain", {[](C t) { return ImageByte(t, t.layout.gain_offset[At(t.ch)]); },
               [](C t, int i, bool) { return t.ops.SendGain(t.slot, t.ch, Byte(i)); },
               [](C t) { return t.linking.LinkGain(t.slot, t.ch); }});
  add("delay", {[](C t) {
                  const auto d = protocol::ReadDelay(t.data(), t.ch);
                  return d ? Read(d->milliseconds * kDelaySamplesPerMs + d->samples) : std::nullopt;
                },
                [](C t, int i, bool) {
                  return t.ops.SendDelay(t.slot, t.ch, i / kDelaySamplesPerMs,
                                         i % kDelaySamplesPerMs);
                },
                [](C t) { return t.linking.LinkDelay(t.slot, t.ch); }});
  add("mute", {[](C t) { return Read(t.state().mute[At(t.ch)] ? 1 : 0); },
               [](C t, int i, bool) { return t.ops.SendMute(t.slot, t.ch, On(i)); },
               [](C t) { return t.linking.LinkMute(t.slot, t.ch); }});
  add("polarity", {[](C t) { return Read(t.state().polarity[At(t.ch)] ? 1 : 0); },
                   [](C t, int i, bool) { return t.ops.SendPolarity(t.slot, t.ch, On(i)); },
                   [](C t) { return t.linking.LinkPolarity(t.slot, t.ch); }});
  add("link",
      {[](C t) {
         const bool family_a_input =
             t.layout.family == protocol::Family::kA && t.layout.IsInput(t.ch);
         return Read(family_a_input ? t.state().input_link_on : t.state().link_member[At(t.ch)]);
       },
       [](C t, int i, bool) { return t.ops.SendLink(t.slot, t.ch, On(i)); }});

  const auto gate = [](C t) { return t.linking.LinkGate(t.slot, t.ch); };
  const auto comp = [](C t) { return t.linking.LinkCompressor(t.slot, t.ch); };
  const auto lim = [](C t) { return t.linking.LinkLimiter(t.slot, t.ch); };
  add("gate.threshold",
      {GateRead<&GateValues::threshold>, GateWrite<&GateValues::threshold>, gate});
  add("gate.release", {GateRead<&GateValues::release>, GateWrite<&GateValues::release>, gate});
  add("gate.attack", {GateRead<&GateValues::attack>, GateWrite<&GateValues::attack>, gate});
  add("gate.bypass", {GateRead<&GateValues::bypass>, GateWrite<&GateValues::bypass>, gate});
  add("comp.threshold",
      {CompRead<&CompressorValues::threshold>, CompWrite<&CompressorValues::threshold>, comp});
  add("comp.ratio",
      {CompRead<&CompressorValues::ratio>, CompWrite<&CompressorValues::ratio>, comp});
  add("comp.knee", {CompRead<&CompressorValues::knee>, CompWrite<&CompressorValues::knee>, comp});
  add("comp.release",
      {CompRead<&CompressorValues::release>, CompWrite<&CompressorValues::release>, comp});
  add("comp.attack",
      {CompRead<&CompressorValues::attack>, CompWrite<&CompressorValues::attack>, comp});
  add("comp.makeup",
      {CompRead<&CompressorValues::makeup>, CompWrite<&CompressorValues::makeup>, comp});
  add("comp.bypass", {DynBypassRead, CompBypassWrite, comp});
  add("lim.threshold",
      {LimRead<&LimiterValues::threshold>, LimWrite<&LimiterValues::threshold>, lim});
  add("lim.release", {LimRead<&LimiterValues::release>, LimWrite<&LimiterValues::release>, lim});
  add("lim.attack", {LimRead<&LimiterValues::attack>, LimWrite<&LimiterValues::attack>, lim});
  add("lim.bypass", {DynBypassRead, LimBypassWrite, lim});

  const auto band = [](C t) { return t.linking.LinkEqBand(t.slot, t.ch, t.element); };
  const auto bands = CurveEffect::kBand;
  add("eq.N.type",
      {BandRead<&EqBandValues::type>, BandTypeWrite<>, band, bands, BandTypeWrite<false>});
  add("eq.N.freq", {BandRead<&EqBandValues::frequency>, BandWrite<&EqBandValues::frequency>, band,
                    bands, BandWrite<&EqBandValues::frequency, false>});
  add("eq.N.gain", {BandRead<&EqBandValues::gain>, BandWrite<&EqBandValues::gain>, band, bands,
                    BandWrite<&EqBandValues::gain, false>});
  add("eq.N.q", {BandRead<&EqBandValues::q>, BandWrite<&EqBandValues::q>, band, bands,
                 BandWrite<&EqBandValues::q, false>});
  add("eq.N.bypass", {BandBypassRead, BandBypassWrite, band, bands});
  add("eq.bypass",
      {[](C t) { return Read(t.state().eq_bypass[At(t.ch)] ? 1 : 0); },
       [](C t, int i, bool) { return t.ops.SendEqSwitch(t.slot, t.ch, On(i)); },
       [](C t) { return t.linking.LinkEqSwitch(t.slot, t.ch); }, CurveEffect::kChannelBands});
  add("eq.flat",
      {[](C) { return Read(1); },
       [](C t, int, bool) { return protocol::FlattenEq(t.ops, t.store, t.slot, t.ch); },
       [](C t) { return t.linking.LinkFlatEq(t.slot, t.ch); }, CurveEffect::kChannelBands});
  add("hp.freq", {XoverFrequencyRead<kHp>, XoverWrite<kHp, false>,
                  [](C t) { return t.linking.LinkCrossover(t.slot, t.ch, kHp); },
                  CurveEffect::kHighPass, XoverWrite<kHp, false, false>});
  add("hp.slope", {XoverSlopeRead<kHp>, XoverWrite<kHp, true>,
                   [](C t) { return t.linking.LinkCrossover(t.slot, t.ch, kHp); },
                   CurveEffect::kHighPass, XoverWrite<kHp, true, false>});
  add("lp.freq", {XoverFrequencyRead<kLp>, XoverWrite<kLp, false>,
                  [](C t) { return t.linking.LinkCrossover(t.slot, t.ch, kLp); },
                  CurveEffect::kLowPass, XoverWrite<kLp, false, false>});
  add("lp.slope", {XoverSlopeRead<kLp>, XoverWrite<kLp, true>,
                   [](C t) { return t.linking.LinkCrossover(t.slot, t.ch, kLp); },
                   CurveEffect::kLowPass, XoverWrite<kLp, true, false>});
  add("drive", {[](C t) { return Read(t.state().speaker_drive[At(t.ch - t.layout.first_output)]); },
                [](C t, int i, bool) {
                  return t.ops.SendSpeakerDrive(t.slot, t.ch - t.layout.first_output, i);
                },
                [](C t) { return t.linking.LinkSpeakerDrive(t.slot, t.ch); }});
  add("source", {[](C t) {
                   return t.layout.IsOutput(t.ch)
                              ? ImageByte(t,
                                          t.layout.route_offset[At(t.ch - t.layout.first_output)])
                              : std::nullopt;
                 },
                 [](C t, int i, bool) { return t.ops.SendOutputSource(t.slot, t.ch, i); }});
  add("mix.IN.on", {MixerRead<false>, MixerWrite<false>});
  add("mix.IN.level", {MixerRead<true>, MixerWrite<true>});
  add("route.N.on", {RoutingRead<false>, RoutingWrite<false>});
  add("route.N.level", {RoutingRead<true>, RoutingWrite<true>});
  add("input.source", {[](C t) { return ImageByte(t, t.layout.input_source); },
                       InputModeWrite<protocol::InputModeField::kSource>});
  add("input.analog", {[](C t) { return ImageByte(t, t.layout.analog_mode); },
                       InputModeWrite<protocol::InputModeField::kAnalogMode>});
  add("input.digital",
      {[](C t) {
         return t.layout.family == protocol::Family::kB ? TailRead(t, protocol::kTailDigitalMode)
                                                        : ImageByte(t, t.layout.digital_mode);
       },
       [](C t, int i, bool) {
         return t.layout.family == protocol::Family::kB
                    ? t.ops.SendDigitalMode(t.slot, i)
                    : t.ops.SendInputMode(t.slot, protocol::InputModeField::kDigitalMode, i);
       }});
  add("noise.type", {[](C t) { return Read(t.state().noise_type); },
                     [](C t, int i, bool) {
                       return t.ops.SendNoiseGenerator(t.slot, i, t.state().noise_level);
                     }});
  add("noise.level",
      {[](C t) { return Read(t.state().noise_level); },
       [](C t, int i, bool) { return t.ops.SendNoiseGenerator(t.slot, t.state().noise_type, i); }});
  add("noise.enable", {[](C t) { return Read(t.state().noise_enable); },
                       [](C t, int i, bool) {
                         auto* b = FamilyB(t);
                         return b ? b->SendNoiseEnable(t.slot, On(i)) : EditResult::kNotSupported;
                       }});
  add("standby", {[](C t) { return Read(t.state().standby); },
                  [](C t, int i, bool) { return t.ops.SendStandby(t.slot, On(i)); }});
  add("sleep", {[](C t) { return Read(t.state().sleep_mode); },
                [](C t, int i, bool) { return t.ops.SendSleepMode(t.slot, On(i)); }});
  add("meter", {[](C t) { return Read(t.state().meter_mode); },
                [](C t, int i, bool) { return t.ops.SendMeterMode(t.slot, i); }});
  add("lineout", {[](C t) { return ImageByte(t, t.layout.line_out); },
                  [](C t, int i, bool) { return t.ops.SendLineOut(t.slot, On(i)); }});
  add("trigger.input", {[](C t) {
                          const auto byte = TailRead(t, protocol::kTailTrigger);
                          return byte ? Read((*byte >> 2) & 1)
                                      : std::nullopt;  // bit 2: input trigger
                        },
                        [](C t, int i, bool) {
                          auto* b = FamilyB(t);
                          return b ? b->SendInputTrigger(t.slot, On(i)) : EditResult::kNotSupported;
                        }});
  add("trigger.standby", {[](C t) { return TailRead(t, protocol::kTailMirroring); },
                          [](C t, int i, bool) {
                            auto* b = FamilyB(t);
                            return b ? b->SendStandbyMirroring(t.slot, On(i))
                                     : EditResult::kNotSupported;
                          }});
  add("delay.unit", {[](C t) { return Read(t.state().delay_unit); },
                     [](C t, int i, bool) { return t.ops.SetDelayUnit(t.slot, i); }});
  return ops;
}

}  // namespace

const Operation* OperationOf(const ParameterDescriptor& parameter) {
  static const QHash<QString, Operation> kOps = Build();
  const auto it = kOps.constFind(parameter.id);
  return it == kOps.constEnd() ? nullptr : &it.value();
}

}  // namespace tessaly::model
