#pragma once

#include <type_traits>

#include "model/EditOperations.h"
#include "protocol/CommonOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ValueScale.h"

// The pieces the parameter table builds its read, write and link operations from.
namespace tessaly::model::ops {

using protocol::EditResult;
using Read = std::optional<int>;
using C = const OpContext&;

inline bool On(int index) { return index != 0; }
inline uint8_t Byte(int index) { return static_cast<uint8_t>(index); }
inline size_t At(int i) { return static_cast<size_t>(i); }

inline protocol::FamilyBOperations* FamilyB(C t) {
  return dynamic_cast<protocol::FamilyBOperations*>(&t.ops);
}

inline std::optional<int> ImageByte(C t, int offset) {
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
inline Read DynBypassRead(C t) { return t.state().dynamics_bypass[At(t.ch)] ? 1 : 0; }
inline EditResult CompBypassWrite(C t, int index, bool) {
  const auto v = protocol::ReadCompressor(t.data(), t.ch);
  return v ? t.ops.SendCompressor(t.slot, t.ch, *v, On(index)) : EditResult::kRefused;
}
inline EditResult LimBypassWrite(C t, int index, bool) {
  const auto v = protocol::ReadLimiter(t.data(), t.ch);
  return v ? t.ops.SendLimiter(t.slot, t.ch, *v, On(index)) : EditResult::kRefused;
}

// EQ bands: the whole band goes out with its bypass.
inline std::optional<int> GlobalBand(C t) {
  const auto g = t.layout.GlobalBand(t.ch, t.element);
  return g ? std::optional<int>(*g) : std::nullopt;
}
template <auto Field>
Read BandRead(C t) {
  const auto v = protocol::ReadEqBand(t.data(), t.ch, t.element);
  return v ? Read(static_cast<int>((*v).*Field)) : std::nullopt;
}
inline EditResult SendBand(C t, const protocol::EqBandValues& v) {
  const auto g = GlobalBand(t);
  if (!g) return EditResult::kRefused;
  return t.ops.SendEqBand(t.slot, t.ch, t.element, v, t.state().band_bypass[At(*g)]);
}
// Send false puts the band into the record only, for a field that goes out with the next one.
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
inline Read BandBypassRead(C t) {
  const auto g = GlobalBand(t);
  return g ? Read(t.state().band_bypass[At(*g)] ? 1 : 0) : std::nullopt;
}
inline EditResult BandBypassWrite(C t, int index, bool) {
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

inline Read TailRead(C t, int index) {
  const auto byte = t.data().Tail(index);
  return byte ? Read(*byte) : std::nullopt;
}

}  // namespace tessaly::model::ops
