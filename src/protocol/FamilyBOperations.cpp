#include "protocol/FamilyBOperations.h"

#include "device/Commands.h"

namespace tessaly::protocol {
namespace {

constexpr uint8_t kTriggerInputEnabled = 0x04;  // bit 2 of the trigger byte

bool InRange(int value, int max) { return value >= 0 && value <= max; }

}  // namespace

std::optional<int> RoutingTailIndex(int input, int source) {
  if (!InRange(input, family_b::kInputs - 1) || !InRange(source, kRoutingSources - 1)) {
    return std::nullopt;
  }
  return kTailRouting + kRoutingSources * input + source;
}

void LoadDefaultRouting(ProgramData& data) {
  for (int i = 0; i < family_b::kInputs; ++i) {
    for (int j = 0; j < kRoutingSources; ++j) {
      data.SetTail(*RoutingTailIndex(i, j), SendByte(i == j, kMaxSendLevel));
    }
  }
}

std::optional<uint8_t> ReadMixerSend(const ProgramData& data, int ch, int input) {
  const Layout& layout = data.layout();
  if (layout.family != Family::kB || !layout.IsOutput(ch) || !InRange(input, kMixerSends - 1)) {
    return std::nullopt;
  }
  return data.Get(layout.route_offset[ch - layout.first_output] + input);
}

std::optional<uint8_t> ReadRouting(const ProgramData& data, int input, int source) {
  const auto index = RoutingTailIndex(input, source);
  if (data.family() != Family::kB || !index) {
    return std::nullopt;
  }
  return data.Tail(*index);
}

const std::array<QString, 3>& MeterModeCaptions(Family family) {
  static const std::array<QString, 3> kCaptionsA = {QStringLiteral("L/R only Inputs"),
                                                    QStringLiteral("L/R only Outputs"),
                                                    QStringLiteral("L/R  In and Out")};
  static const std::array<QString, 3> kCaptionsB = {QStringLiteral("Only In 1 L/R"),
                                                    QStringLiteral("Only In 2 L/R"),
                                                    QStringLiteral("Only Out L/R ")};
  return family == Family::kB ? kCaptionsB : kCaptionsA;
}

QString DigitalModeName(int mode) {
  switch (mode) {
    case 0:
      return QStringLiteral("Coaxial");
    case 1:
      return QStringLiteral("Optical");
    default:
      return {};
  }
}

EditResult FamilyBOperations::SendOutputMixer(int slot, int ch, int input, bool enabled,
                                              int level) {
  return SendMixer(slot, ch, input, enabled, level);
}

EditResult FamilyBOperations::SetOutputMixerEnabled(int slot, int ch, int input, bool enabled) {
  return SendMixer(slot, ch, input, enabled, std::nullopt);
}

EditResult FamilyBOperations::SendMixer(int slot, int ch, int input, std::optional<bool> enabled,
                                        std::optional<int> level) {
  auto t = Resolve(slot);
  if (!t || !t->layout.IsOutput(ch) || !InRange(input, kMixerSends - 1) ||
      (level && !InRange(*level, kMaxSendLevel))) {
    return EditResult::kRefused;
  }
  const int base = t->layout.route_offset[ch - t->layout.first_output];
  const auto stored = t->data.Get(base + input);
  if (!stored) {
    return EditResult::kRefused;
  }
  t->data.Set(base + input,
              SendByte(enabled.value_or(SendEnabled(*stored)), level.value_or(SendLevel(*stored))));
  const auto sends = t->data.Read(base, kMixerSends);
  device::Params p{};
  p[0] = static_cast<uint8_t>(ch);
  for (int i = 0; i < kMixerSends; ++i) {
    p[4 + static_cast<size_t>(i)] = sends[i];
  }
  const EditResult result = Transmit(slot, device::kCmdOutputMixer, p);
  store_.NotifyChannelChanged(slot, ch);
  return result;
}

EditResult FamilyBOperations::SendInputRouting(int slot, int input, int source, bool enabled,
                                               int level) {
  return SendRouting(slot, input, source, enabled, level);
}

EditResult FamilyBOperations::ToggleInputRouting(int slot, int input, int source) {
  auto t = Resolve(slot);
  const auto index = RoutingTailIndex(input, source);
  if (!t || !index) {
    return EditResult::kRefused;
  }
  return SendRouting(slot, input, source, !SendEnabled(t->data.Tail(*index).value_or(0)),
                     std::nullopt);
}

EditResult FamilyBOperations::SendRouting(int slot, int input, int source,
                                          std::optional<bool> enabled, std::optional<int> level) {
  auto t = Resolve(slot);
  const auto index = RoutingTailIndex(input, source);
  if (!t || !index || (level && !InRange(*level, kMaxSendLevel))) {
    return EditResult::kRefused;
  }
  const auto stored = t->data.Tail(*index);
  if (!stored) {
    return EditResult::kRefused;
  }
  t->data.SetTail(
      *index, SendByte(enabled.value_or(SendEnabled(*stored)), level.value_or(SendLevel(*stored))));
  device::Params p{};
  p[0] = static_cast<uint8_t>(input);
  for (int j = 0; j < kRoutingSources; ++j) {
    p[4 + static_cast<size_t>(j)] = t->data.Tail(*RoutingTailIndex(input, j)).value_or(0);
  }
  const EditResult result = Transmit(slot, device::kCmdInputRouting, p);
  store_.NotifyChannelChanged(slot, input);
  return result;
}

EditResult FamilyBOperations::SendDigitalMode(int slot, int mode) {
  auto t = Resolve(slot);
  if (!t || !InRange(mode, kMaxDigitalMode)) {
    return EditResult::kRefused;
  }
  t->data.SetTail(kTailDigitalMode, static_cast<uint8_t>(mode));
  device::Params p{};
  p[7] = t->data.Tail(kTailDigitalMode).value_or(0);
  const EditResult result = Transmit(slot, device::kCmdDigitalMode, p);
  store_.NotifyDeviceSettingsChanged(slot);
  return result;
}

EditResult FamilyBOperations::SendNoiseGenerator(int slot, int type, int level) {
  auto t = Resolve(slot);
  if (!t || !InRange(type, kMaxNoiseType) || !InRange(level, kMaxNoiseLevel)) {
    return EditResult::kRefused;
  }
  t->state.noise_type = static_cast<uint8_t>(type);
  t->state.noise_level = static_cast<uint8_t>(level);
  return SendNoise(slot);
}

EditResult FamilyBOperations::SendNoiseEnable(int slot, bool enabled) {
  auto t = Resolve(slot);
  if (!t) {
    return EditResult::kRefused;
  }
  t->state.noise_enable = enabled ? 1 : 0;
  return SendNoise(slot);
}

EditResult FamilyBOperations::SendNoise(int slot) {
  auto t = Resolve(slot);
  if (!t) {
    return EditResult::kRefused;
  }
  t->data.SetTail(kTailNoiseType, t->state.noise_type);
  t->data.SetTail(kTailNoiseLevel, t->state.noise_level);
  t->data.SetTail(kTailNoiseEnable, t->state.noise_enable);
  device::Params p{};
  p[5] = t->data.Tail(kTailNoiseEnable).value_or(0);
  p[6] = t->data.Tail(kTailNoiseType).value_or(0);
  p[7] = t->data.Tail(kTailNoiseLevel).value_or(0);
  const EditResult result = Transmit(slot, device::kCmdNoiseGenerator, p);
  store_.NotifyDeviceSettingsChanged(slot);
  return result;
}

EditResult FamilyBOperations::SendLineOut(int slot, bool enabled) {
  auto t = Resolve(slot);
  if (!t) {
    return EditResult::kRefused;
  }
  t->data.Set(t->layout.line_out, enabled ? 1 : 0);
  return SendTriggerPair(slot);
}

EditResult FamilyBOperations::SendInputTrigger(int slot, bool enabled) {
  auto t = Resolve(slot);
  if (!t) {
    return EditResult::kRefused;
  }
  const uint8_t trigger = t->data.Tail(kTailTrigger).value_or(0);
  t->data.SetTail(kTailTrigger, static_cast<uint8_t>(enabled ? trigger | kTriggerInputEnabled
                                                             : trigger & ~kTriggerInputEnabled));
  return SendTriggerPair(slot);
}

EditResult FamilyBOperations::SendStandbyMirroring(int slot, bool enabled) {
  auto t = Resolve(slot);
  if (!t) {
    return EditResult::kRefused;
  }
  t->data.SetTail(kTailMirroring, enabled ? 1 : 0);
  return SendTriggerPair(slot);
}

}  // namespace tessaly::protocol
