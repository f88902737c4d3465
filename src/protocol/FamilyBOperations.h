#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "protocol/CommonOperations.h"

namespace tessaly::protocol {

// On the 540S the output source and input mode commands carry the mixers and the routing matrix.

inline constexpr int kRoutingSources = 4;  // sources per input in the routing matrix
inline constexpr int kMaxDigitalMode = 1;  // 0 "Coaxial", 1 "Optical"

// A mixer send or routing cross-point byte: bit 7 = routed, bits 0..6 = level 0..30 (level - 30
// dB). The level survives while the send is off, so switching it on again restores it.
inline constexpr uint8_t kSendEnabledBit = 0x80;
inline constexpr uint8_t kSendLevelMask = 0x7F;
inline constexpr uint8_t SendByte(bool enabled, int level) {
  return static_cast<uint8_t>((enabled ? kSendEnabledBit : 0) | (level & kSendLevelMask));
}
inline constexpr bool SendEnabled(uint8_t send) { return (send & kSendEnabledBit) != 0; }
inline constexpr int SendLevel(uint8_t send) { return send & kSendLevelMask; }

// Tail index of one routing cross-point: source `source` into input channel `input`.
std::optional<int> RoutingTailIndex(int input, int source);

// The routing matrix after a reset: every input takes its own source at 0 dB, nothing else.
void LoadDefaultRouting(ProgramData& data);

// Bytes as they stand in a family B record; nullopt for an output, input or source out of range
// or a record of the other family.
std::optional<uint8_t> ReadMixerSend(const ProgramData& data, int ch, int input);
std::optional<uint8_t> ReadRouting(const ProgramData& data, int input, int source);

// Front-panel meter mode captions of each family, indexed by the mode byte.
const std::array<QString, 3>& MeterModeCaptions(Family family);
// "Coaxial", "Optical".
QString DigitalModeName(int mode);

// Family B (540S): four inputs behind a routing matrix, three outputs each fed by a four-input
// mixer. The commands both families share come from CommonOperations with the family B tables.
class FamilyBOperations : public CommonOperations {
 public:
  explicit FamilyBOperations(ProgramStore& store) : CommonOperations(store, Family::kB) {}

  // One send of an output mixer (`ch` 4..6, `input` 0..3, `level` 0..30); sends command 8 with
  // all four sends of the output.
  EditResult SendOutputMixer(int slot, int ch, int input, bool enabled, int level) override;
  // One cross-point of the routing matrix (`input` 0..3, `source` 0..3); sends command 28 with
  // the input's four cross-points.
  EditResult SendInputRouting(int slot, int input, int source, bool enabled, int level) override;
  EditResult SendDigitalMode(int slot, int mode) override;

  // On/off of a send or cross-point alone, its level as stored.
  EditResult SetOutputMixerEnabled(int slot, int ch, int input, bool enabled);
  EditResult ToggleInputRouting(int slot, int input, int source);

  // The generator is switched per device; the switch rides along in P6 of command 29.
  EditResult SendNoiseGenerator(int slot, int type, int level) override;
  EditResult SendNoiseEnable(int slot, bool enabled);

  // Line output, input trigger and standby mirroring all go out as the same pair of commands:
  // 46 with the three trigger bytes, then 17 storing the trigger byte at its settings address.
  EditResult SendLineOut(int slot, bool enabled) override;
  EditResult SendInputTrigger(int slot, bool enabled);
  EditResult SendStandbyMirroring(int slot, bool enabled);

 private:
  EditResult SendMixer(int slot, int ch, int input, std::optional<bool> enabled,
                       std::optional<int> level);
  EditResult SendRouting(int slot, int input, int source, std::optional<bool> enabled,
                         std::optional<int> level);
  EditResult SendNoise(int slot);
};

}  // namespace tessaly::protocol
