#include "protocol/CommonOperations.h"

#include "device/Commands.h"
#include "device/DeviceTypes.h"

namespace tessaly::protocol {
namespace {

uint8_t Bit(bool flag) { return flag ? 1 : 0; }

// Keeps bit c of a "working" mask: cleared first, set again only while the block is not
// bypassed, so a set bit means the block is working.
uint8_t WorkingMaskWithBit(uint8_t mask, int ch, bool bypassed) {
  static constexpr std::array<uint8_t, 8> kBit{1, 2, 4, 8, 16, 32, 64, 128};
  const auto bit = kBit[static_cast<size_t>(ch)];
  mask &= static_cast<uint8_t>(255 - bit);
  if (!bypassed) mask = static_cast<uint8_t>(mask + bit);
  return mask;
}

bool InRange(int value, int max) { return value >= 0 && value <= max; }

// Delay limits in whole milliseconds: inputs, outputs.
constexpr int kDelayLimitRk540Input = 960;
constexpr int kDelayLimitRk540Output = 540;
constexpr int kDelayLimitSmallInput = 80;
constexpr int kDelayLimitSmallOutput = 50;
constexpr int kDelayLimit540SInput = 850;
constexpr int kDelayLimit540SOutput = 540;

}  // namespace

std::optional<int> DelayLimitMs(int device_type, int ch) {
  const Layout& layout = LayoutOfType(device_type);
  if (!layout.IsChannel(ch)) return std::nullopt;
  const bool input = layout.IsInput(ch);
  switch (device_type) {
    case device::kTypeRk360:
    case device::kTypeRl4800:
      return input ? kDelayLimitSmallInput : kDelayLimitSmallOutput;
    case device::kType540S:
      return input ? kDelayLimit540SInput : kDelayLimit540SOutput;
    default:
      return input ? kDelayLimitRk540Input : kDelayLimitRk540Output;
  }
}

uint8_t BuildChannelMask(const std::array<bool, kMaxChannels>& flags, int count) {
  int mask = 0;
  for (int c = 0; c < count && c < kMaxChannels; ++c) {
    if (flags[static_cast<size_t>(c)]) mask += 1 << c;
  }
  return static_cast<uint8_t>(mask);
}

uint16_t BuildBandMask(const Layout& layout, const SlotState& state, int ch) {
  int mask = 0;
  for (int k = 0; k < layout.BandCount(ch); ++k) {
    if (state.band_bypass[static_cast<size_t>(layout.first_band[ch] + k)]) mask += 1 << k;
  }
  return static_cast<uint16_t>(mask);
}

uint8_t LinkByte(Family family, const SlotState& state) {
  int byte = 0;
  if (family == Family::kA) {
    byte = state.input_link_on;
    for (int c = family_a::kFirstOutput; c < family_a::kChannels; ++c) {
      byte += state.link_member[static_cast<size_t>(c)] << c;
    }
  } else {
    for (int c = 0; c < family_b::kChannels; ++c) {
      byte += state.link_member[static_cast<size_t>(c)] << c;
    }
  }
  return static_cast<uint8_t>(byte);
}

std::optional<GateValues> ReadGate(const ProgramData& data, int ch) {
  if (!data.layout().IsInput(ch)) return std::nullopt;
  const auto b = data.Read(data.layout().gate_offset[ch], kGateBytes);
  if (b.empty()) return std::nullopt;
  return GateValues{b[0], b[1], b[2], b[3]};
}

std::optional<CompressorValues> ReadCompressor(const ProgramData& data, int ch) {
  if (!data.layout().IsInput(ch)) return std::nullopt;
  const auto b = data.Read(data.layout().comp_offset[ch], kCompressorBytes);
  if (b.empty()) return std::nullopt;
  return CompressorValues{b[0], b[1], b[2], b[3], b[4], b[5]};
}

std::optional<LimiterValues> ReadLimiter(const ProgramData& data, int ch) {
  if (!data.layout().IsOutput(ch)) return std::nullopt;
  const auto b = data.Read(data.layout().dyn_offset[ch], kLimiterBytes);
  if (b.empty()) return std::nullopt;
  return LimiterValues{b[0], b[1], b[2]};
}

std::optional<EqBandValues> ReadEqBand(const ProgramData& data, int ch, int band) {
  const auto global = data.layout().GlobalBand(ch, band);
  if (!global) return std::nullopt;
  const auto b = data.Read(data.layout().eq_band_offset[*global], kBandBytes);
  if (b.empty()) return std::nullopt;
  return EqBandValues{b[0], static_cast<uint16_t>(b[1] << 8 | b[2]), b[3], b[4]};
}

std::optional<CrossoverValues> ReadCrossover(const ProgramData& data, int ch, int filter) {
  const auto index = data.layout().CrossoverIndex(ch, filter);
  if (!index) return std::nullopt;
  const auto b = data.Read(data.layout().xover_offset[*index], kCrossoverBytes);
  if (b.empty()) return std::nullopt;
  return CrossoverValues{static_cast<uint16_t>(b[0] << 8 | b[1]), b[2]};
}

bool StageEqBand(ProgramData& data, int ch, int band, const EqBandValues& values) {
  const auto global = data.layout().GlobalBand(ch, band);
  if (!global || !IsValid(values)) return false;
  const uint8_t bytes[kBandBytes] = {values.type, static_cast<uint8_t>(values.frequency >> 8),
                                     static_cast<uint8_t>(values.frequency & 0xFF), values.q,
                                     values.gain};
  data.Write(data.layout().eq_band_offset[*global], bytes);
  return true;
}

bool StageCrossover(ProgramData& data, int ch, int filter, const CrossoverValues& values) {
  const auto index = data.layout().CrossoverIndex(ch, filter);
  if (!index || values.frequency < kMinFrequency || values.frequency > kMaxFrequency ||
      values.slope > kMaxSlope) {
    return false;
  }
  const int offset = data.layout().xover_offset[*index];
  data.Set16(offset, values.frequency);
  data.Set(offset + 2, values.slope);
  return true;
}

std::optional<DelayValues> ReadDelay(const ProgramData& data, int ch) {
  if (!data.layout().IsChannel(ch)) return std::nullopt;
  const auto b = data.Read(data.layout().delay_offset[ch], 3);
  if (b.empty()) return std::nullopt;
  return DelayValues{static_cast<uint16_t>(b[0] << 8 | b[1]), b[2]};
}

bool IsValid(const GateValues& v) {
  return InRange(v.bypass, 1) && InRange(v.threshold, kMaxGateThreshold) &&
         InRange(v.release, kMaxGateRelease) && InRange(v.attack, kMaxGateAttack);
}

bool IsValid(const CompressorValues& v) {
  return InRange(v.threshold, kMaxDynThreshold) && InRange(v.ratio, kMaxRatio) &&
         InRange(v.knee, kMaxKnee) && InRange(v.release, kMaxCompRelease) &&
         InRange(v.attack, kMaxCompAttack) && InRange(v.makeup, kMaxMakeup);
}

bool IsValid(const LimiterValues& v) {
  return InRange(v.threshold, kMaxDynThreshold) && InRange(v.release, kMaxLimRelease) &&
         InRange(v.attack, kMaxLimAttack);
}

bool IsValid(const EqBandValues& v) {
  return InRange(v.type, kMaxEqType) && v.frequency >= kMinFrequency &&
         v.frequency <= kMaxFrequency && InRange(v.q, kMaxEqQ) && InRange(v.gain, kMaxEqGain);
}

CommonOperations::CommonOperations(ProgramStore& store, Family family)
    : store_(store), family_(family) {}

std::optional<CommonOperations::Target> CommonOperations::Resolve(int slot) {
  if (store_.FamilyOfSlot(slot) != family_) return std::nullopt;
  ProgramData* data = store_.Data(slot, family_);
  SlotState* state = store_.State(slot);
  if (data == nullptr || state == nullptr) return std::nullopt;
  return Target{*data, *state, data->layout()};
}

EditResult CommonOperations::Transmit(int slot, uint8_t command, const device::Params& params) {
  return store_.Transmit(slot, command, params) == 0 ? EditResult::kDone : EditResult::kSendFailed;
}

bool CommonOperations::SendsLineOut(int slot) const {
  const auto type = store_.DeviceType(slot);
  if (!type) return false;
  return family_ == Family::kB || *type == device::kTypeRk540;
}

EditResult CommonOperations::SendGain(int slot, int ch, uint8_t gain) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsChannel(ch) || gain > kMaxGain) return EditResult::kRefused;
  const int offset = t->layout.gain_offset[ch];
  t->data.Set(offset, gain);
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  p[7] = t->data.Get(offset).value_or(0);
  const EditResult result = Transmit(slot, device::kCmdGain, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult CommonOperations::SendDelay(int slot, int ch, int milliseconds, int samples) {
  auto t = Resolve(slot);
  const auto type = store_.DeviceType(slot);
  if (!t || !type || !t->layout.IsChannel(ch)) return EditResult::kRefused;
  const auto limit = DelayLimitMs(*type, ch);
  if (!limit || !InRange(milliseconds, *limit) || !InRange(samples, kMaxDelaySamples)) {
    return EditResult::kRefused;
  }
  const int offset = t->layout.delay_offset[ch];
  t->data.Set16(offset, static_cast<uint16_t>(milliseconds));
  t->data.Set(offset + 2, static_cast<uint8_t>(samples));
  const auto bytes = t->data.Read(offset, 3);
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  p[5] = bytes[0];
  p[6] = bytes[1];
  p[7] = bytes[2];
  const EditResult result = Transmit(slot, device::kCmdDelay, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult CommonOperations::SendPolarity(int slot, int ch, bool inverted) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsChannel(ch)) return EditResult::kRefused;
  t->state.polarity[static_cast<size_t>(ch)] = inverted;
  t->data.Set(t->layout.polarity_mask,
              BuildChannelMask(t->state.polarity, t->layout.channel_count));
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  p[7] = Bit(t->state.polarity[static_cast<size_t>(ch)]);
  const EditResult result = Transmit(slot, device::kCmdPolarity, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult CommonOperations::SendMute(int slot, int ch, bool muted) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsChannel(ch)) return EditResult::kRefused;
  t->state.mute[static_cast<size_t>(ch)] = muted;
  t->data.Set(t->layout.mute_mask, BuildChannelMask(t->state.mute, t->layout.channel_count));
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  p[7] = Bit(t->state.mute[static_cast<size_t>(ch)]);
  const EditResult result = Transmit(slot, device::kCmdMute, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult CommonOperations::SendCrossover(int slot, int ch, int filter, int frequency_hz,
                                           int slope) {
  auto t = Resolve(slot);
  if (!t) return EditResult::kRefused;
  const auto index = t->layout.CrossoverIndex(ch, filter);
  if (!index || frequency_hz < kMinFrequency || frequency_hz > kMaxFrequency ||
      !InRange(slope, kMaxSlope)) {
    return EditResult::kRefused;
  }
  const int offset = t->layout.xover_offset[*index];
  StageCrossover(t->data, ch, filter,
                 {static_cast<uint16_t>(frequency_hz), static_cast<uint8_t>(slope)});
  t->state.crossover[static_cast<size_t>(*index)] = {frequency_hz, slope};
  const auto bytes = t->data.Read(offset, kCrossoverBytes);
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  p[1] = static_cast<uint8_t>(filter);
  p[5] = bytes[0];
  p[6] = bytes[1];
  p[7] = bytes[2];
  const EditResult result = Transmit(slot, device::kCmdCrossover, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult CommonOperations::SendEqBand(int slot, int ch, int band, const EqBandValues& values,
                                        bool bypassed) {
  auto t = Resolve(slot);
  if (!t || !IsValid(values)) return EditResult::kRefused;
  const auto global = t->layout.GlobalBand(ch, band);
  if (!global) return EditResult::kRefused;
  const int offset = t->layout.eq_band_offset[*global];
  StageEqBand(t->data, ch, band, values);
  t->state.band_bypass[static_cast<size_t>(*global)] = bypassed;
  t->state.band_type[static_cast<size_t>(*global)] = values.type;
  t->data.Set16(t->layout.eq_bypass_offset[ch], BuildBandMask(t->layout, t->state, ch));
  const auto image = t->data.Read(offset, kBandBytes);
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  p[1] = static_cast<uint8_t>(band);
  p[2] = Bit(t->state.band_bypass[static_cast<size_t>(*global)]);
  for (int i = 0; i < kBandBytes; ++i) p[static_cast<size_t>(3 + i)] = image[i];
  const EditResult result = Transmit(slot, device::kCmdEqBand, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult CommonOperations::SendEqSwitch(int slot, int ch, bool bypassed) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsChannel(ch)) return EditResult::kRefused;
  t->state.eq_bypass[static_cast<size_t>(ch)] = bypassed;
  const uint8_t mask = t->data.Get(t->layout.eq_mask).value_or(0);
  t->data.Set(t->layout.eq_mask, WorkingMaskWithBit(mask, ch, bypassed));
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  p[7] = Bit(t->state.eq_bypass[static_cast<size_t>(ch)]);
  const EditResult result = Transmit(slot, device::kCmdEqSwitch, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

std::optional<device::Params> CommonOperations::DynamicsParams(const Target& t, int ch) const {
  if (!t.layout.IsChannel(ch)) return std::nullopt;
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  p[1] = Bit(t.state.dynamics_bypass[static_cast<size_t>(ch)]);
  const int offset = t.layout.dyn_offset[ch];
  if (t.layout.IsInput(ch)) {
    const auto bytes = t.data.Read(offset, kCompressorBytes);
    if (bytes.empty()) return std::nullopt;
    for (int i = 0; i < kCompressorBytes; ++i) p[static_cast<size_t>(2 + i)] = bytes[i];
  } else {
    const auto bytes = t.data.Read(offset, kLimiterBytes);
    if (bytes.empty()) return std::nullopt;
    for (int i = 0; i < kLimiterBytes; ++i) p[static_cast<size_t>(5 + i)] = bytes[i];
  }
  return p;
}

EditResult CommonOperations::SendCompressor(int slot, int ch, const CompressorValues& values,
                                            bool bypassed) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsInput(ch) || !IsValid(values)) return EditResult::kRefused;
  const uint8_t bytes[kCompressorBytes] = {values.threshold, values.ratio,  values.knee,
                                           values.release,   values.attack, values.makeup};
  t->data.Write(t->layout.comp_offset[ch], bytes);
  t->state.dynamics_bypass[static_cast<size_t>(ch)] = bypassed;
  const uint8_t mask = t->data.Get(t->layout.dynamics_mask).value_or(0);
  t->data.Set(t->layout.dynamics_mask, WorkingMaskWithBit(mask, ch, bypassed));
  const auto p = DynamicsParams(*t, ch);
  const EditResult result = p ? Transmit(slot, device::kCmdDynamics, *p) : EditResult::kRefused;
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult CommonOperations::SendLimiter(int slot, int ch, const LimiterValues& values,
                                         bool bypassed) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsOutput(ch) || !IsValid(values)) return EditResult::kRefused;
  const uint8_t bytes[kLimiterBytes] = {values.threshold, values.release, values.attack};
  t->data.Write(t->layout.dyn_offset[ch], bytes);
  t->state.dynamics_bypass[static_cast<size_t>(ch)] = bypassed;
  const uint8_t mask = t->data.Get(t->layout.dynamics_mask).value_or(0);
  t->data.Set(t->layout.dynamics_mask, WorkingMaskWithBit(mask, ch, bypassed));
  const auto p = DynamicsParams(*t, ch);
  const EditResult result = p ? Transmit(slot, device::kCmdDynamics, *p) : EditResult::kRefused;
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult CommonOperations::SendGate(int slot, int ch, const GateValues& values) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsInput(ch) || !IsValid(values)) return EditResult::kRefused;
  const int offset = t->layout.gate_offset[ch];
  const uint8_t bytes[kGateBytes] = {values.bypass, values.threshold, values.release,
                                     values.attack};
  t->data.Write(offset, bytes);
  const auto image = t->data.Read(offset, kGateBytes);
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  for (int i = 0; i < kGateBytes; ++i) p[static_cast<size_t>(4 + i)] = image[i];
  const EditResult result = Transmit(slot, device::kCmdGate, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult CommonOperations::SendSpeakerDrive(int slot, int output, int drive) {
  auto t = Resolve(slot);
  if (!t || !InRange(output, kOutputCount - 1) || !InRange(drive, 1)) {
    return EditResult::kRefused;
  }
  t->state.speaker_drive[static_cast<size_t>(output)] = static_cast<uint8_t>(drive);
  const auto& sd = t->state.speaker_drive;
  t->data.Set(t->layout.speaker_drive, static_cast<uint8_t>(sd[0] + 4 * sd[1] + 16 * sd[2]));
  device::Params p{};
  p[7] = t->data.Get(t->layout.speaker_drive).value_or(0);
  const EditResult result = Transmit(slot, device::kCmdSpeakerDrive, p);
  store_.NotifyChannelChanged(slot, t->layout.first_output + output);
  store_.NotifyDeviceSettingsChanged(slot);
  return result;
}

EditResult CommonOperations::SendNoiseGenerator(int slot, int type, int level) {
  auto t = Resolve(slot);
  if (!t || !InRange(type, kMaxNoiseType) || !InRange(level, kMaxNoiseLevel)) {
    return EditResult::kRefused;
  }
  t->state.noise_type = static_cast<uint8_t>(type);
  t->state.noise_level = static_cast<uint8_t>(level);
  t->data.SetTail(kTailNoiseType, t->state.noise_type);
  t->data.SetTail(kTailNoiseLevel, t->state.noise_level);
  device::Params p{};
  p[6] = t->data.Tail(kTailNoiseType).value_or(0);
  p[7] = t->data.Tail(kTailNoiseLevel).value_or(0);
  const EditResult result = Transmit(slot, device::kCmdNoiseGenerator, p);
  store_.NotifyDeviceSettingsChanged(slot);
  return result;
}

EditResult CommonOperations::SendTailSetting(int slot, uint8_t SlotState::*field, uint8_t value,
                                             int tail_index, uint8_t command, int param) {
  auto t = Resolve(slot);
  if (!t) return EditResult::kRefused;
  t->state.*field = value;
  t->data.SetTail(tail_index, value);
  device::Params p{};
  p[static_cast<size_t>(param)] = t->data.Tail(tail_index).value_or(0);
  const EditResult result = Transmit(slot, command, p);
  store_.NotifyDeviceSettingsChanged(slot);
  return result;
}

EditResult CommonOperations::SendStandby(int slot, bool standby) {
  return SendTailSetting(slot, &SlotState::standby, Bit(standby), kTailStandby, device::kCmdStandby,
                         0);
}

EditResult CommonOperations::SendLineOut(int slot, bool enabled) {
  auto t = Resolve(slot);
  if (!t) return EditResult::kRefused;
  if (!SendsLineOut(slot)) return EditResult::kNotSupported;
  t->data.Set(t->layout.line_out, Bit(enabled));
  return SendTriggerPair(slot);
}

EditResult CommonOperations::SendTriggerPair(int slot) {
  auto t = Resolve(slot);
  if (!t) return EditResult::kRefused;
  device::Params settings{};
  settings[5] = t->data.Tail(kTailMirroring).value_or(0);
  settings[6] = t->data.Get(t->layout.line_out).value_or(0);
  settings[7] = t->data.Tail(kTailTrigger).value_or(0);
  const EditResult first = Transmit(slot, device::kCmdLineOut, settings);
  // The pair goes out in a row whatever the first answer: the trigger byte also goes to its
  // settings address so the device keeps it over a restart.
  device::Params write{};
  write[1] = static_cast<uint8_t>(kTailTrigger);
  write[4] = t->data.Tail(kTailTrigger).value_or(0);
  const EditResult second = Transmit(slot, device::kCmdWriteSetting, write);
  store_.NotifyDeviceSettingsChanged(slot);
  return first != EditResult::kDone ? first : second;
}

EditResult CommonOperations::SendSleepMode(int slot, bool enabled) {
  return SendTailSetting(slot, &SlotState::sleep_mode, Bit(enabled), kTailSleepMode,
                         device::kCmdSleepMode, 7);
}

EditResult CommonOperations::SendMeterMode(int slot, int mode) {
  if (!InRange(mode, kMaxMeterMode)) return EditResult::kRefused;
  return SendTailSetting(slot, &SlotState::meter_mode, static_cast<uint8_t>(mode), kTailMeterMode,
                         device::kCmdMeterMode, 7);
}

EditResult CommonOperations::SendLink(int slot, int ch, bool linked) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsChannel(ch)) return EditResult::kRefused;
  if (family_ == Family::kA && t->layout.IsInput(ch)) {
    t->state.input_link_on = Bit(linked);
  } else {
    t->state.link_member[static_cast<size_t>(ch)] = Bit(linked);
  }
  t->data.Set(t->layout.link_mask, LinkByte(family_, t->state));
  device::Params p{};
  p[7] = t->data.Get(t->layout.link_mask).value_or(0);
  const EditResult result = Transmit(slot, device::kCmdLink, p);
  store_.NotifyDeviceSettingsChanged(slot);
  return result;
}

EditResult CommonOperations::SetDelayUnit(int slot, int unit) {
  auto t = Resolve(slot);
  if (!t || !InRange(unit, kDelayUnitMeter)) return EditResult::kRefused;
  t->state.delay_unit = static_cast<uint8_t>(unit);
  t->data.SetTail(kTailDelayUnit, t->state.delay_unit);
  store_.NotifyDeviceSettingsChanged(slot);
  return EditResult::kDone;
}

}  // namespace tessaly::protocol
