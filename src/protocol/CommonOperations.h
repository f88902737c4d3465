#pragma once

#include <cstdint>
#include <optional>

#include "device/Commands.h"
#include "device/PacketFormat.h"
#include "protocol/Dispatch.h"
#include "protocol/ProgramData.h"
#include "protocol/ProgramStore.h"
#include "protocol/SlotState.h"

namespace tessaly::protocol {

// Parameter command bytes shared by both families.

// Largest wire values of each parameter (the smallest is 0).
inline constexpr int kMaxGain = 144;
inline constexpr int kMaxGateThreshold = 6;
inline constexpr int kMaxGateRelease = 12;
inline constexpr int kMaxGateAttack = 28;
inline constexpr int kMaxDynThreshold = 150;
inline constexpr int kMaxRatio = 30;
inline constexpr int kMaxKnee = 100;
inline constexpr int kMaxCompRelease = 29;
inline constexpr int kMaxCompAttack = 29;
inline constexpr int kMaxMakeup = 24;
inline constexpr int kMaxLimRelease = 49;
inline constexpr int kMaxLimAttack = 40;
inline constexpr int kMaxEqType = 5;
inline constexpr int kMaxEqQ = 100;
inline constexpr int kMaxEqGain = 60;
inline constexpr int kMinFrequency = 20;
inline constexpr int kMaxFrequency = 20000;
inline constexpr int kMaxSlope = 8;
inline constexpr int kMaxDelaySamples = 48;
inline constexpr int kMaxNoiseType = 1;
inline constexpr int kMaxNoiseLevel = 40;
inline constexpr int kMaxMeterMode = 2;
inline constexpr int kMaxSendLevel = 30;

// Whole-millisecond delay limit of a channel on a device type; nullopt for an unknown channel.
std::optional<int> DelayLimitMs(int device_type, int ch);

// A channel mask rebuilt from scratch: bit c set for every channel c < count whose flag is set.
uint8_t BuildChannelMask(const std::array<bool, kMaxChannels>& flags, int count);
// A channel's 16-bit EQ band bypass mask from the slot state.
uint16_t BuildBandMask(const Layout& layout, const SlotState& state, int ch);

// The link byte: family A, bit 0 = inputs linked and bits 2..4 = outputs taking part; family B,
// bit c = channel c taking part.
uint8_t LinkByte(Family family, const SlotState& state);

// Reads of the values that one command carries, from the image. nullopt when the channel, band
// or filter is out of range for the record's family.
std::optional<GateValues> ReadGate(const ProgramData& data, int ch);
std::optional<CompressorValues> ReadCompressor(const ProgramData& data, int ch);
std::optional<LimiterValues> ReadLimiter(const ProgramData& data, int ch);
std::optional<EqBandValues> ReadEqBand(const ProgramData& data, int ch, int band);
struct CrossoverValues {
  uint16_t frequency = 0;
  uint8_t slope = 0;
};
std::optional<CrossoverValues> ReadCrossover(const ProgramData& data, int ch, int filter);
// Puts the values into the image only; the command that carries them goes out later. False
// when the channel, band or filter is out of range or a value is not valid.
bool StageEqBand(ProgramData& data, int ch, int band, const EqBandValues& values);
bool StageCrossover(ProgramData& data, int ch, int filter, const CrossoverValues& values);
struct DelayValues {
  uint16_t milliseconds = 0;
  uint8_t samples = 0;
};
std::optional<DelayValues> ReadDelay(const ProgramData& data, int ch);

bool IsValid(const GateValues& v);
bool IsValid(const CompressorValues& v);
bool IsValid(const LimiterValues& v);
bool IsValid(const EqBandValues& v);

// The operations both families share, driven by the family's offset tables. A family module
// derives from it and adds what only it has.
class CommonOperations : public FamilyOperations {
 public:
  CommonOperations(ProgramStore& store, Family family);

  EditResult SendGain(int slot, int ch, uint8_t gain) override;
  EditResult SendDelay(int slot, int ch, int milliseconds, int samples) override;
  EditResult SendPolarity(int slot, int ch, bool inverted) override;
  EditResult SendMute(int slot, int ch, bool muted) override;
  EditResult SendCrossover(int slot, int ch, int filter, int frequency_hz, int slope) override;
  EditResult SendEqBand(int slot, int ch, int band, const EqBandValues& values,
                        bool bypassed) override;
  EditResult SendEqSwitch(int slot, int ch, bool bypassed) override;
  EditResult SendCompressor(int slot, int ch, const CompressorValues& values,
                            bool bypassed) override;
  EditResult SendLimiter(int slot, int ch, const LimiterValues& values, bool bypassed) override;
  EditResult SendGate(int slot, int ch, const GateValues& values) override;
  EditResult SendSpeakerDrive(int slot, int output, int drive) override;
  EditResult SendNoiseGenerator(int slot, int type, int level) override;
  EditResult SendStandby(int slot, bool standby) override;
  EditResult SendLineOut(int slot, bool enabled) override;
  EditResult SendSleepMode(int slot, bool enabled) override;
  EditResult SendMeterMode(int slot, int mode) override;
  EditResult SendLink(int slot, int ch, bool linked) override;
  EditResult SetDelayUnit(int slot, int unit) override;

 protected:
  // Line out, mirroring and trigger in one command 46, then the trigger byte to its settings
  // address with command 17.
  EditResult SendTriggerPair(int slot);

  struct Target {
    ProgramData& data;
    SlotState& state;
    const Layout& layout;
  };
  // The slot's record of this module's family; nullopt for a bad slot or a slot whose device
  // belongs to the other family.
  std::optional<Target> Resolve(int slot);
  EditResult Transmit(int slot, uint8_t command, const device::Params& params);
  // A device-wide setting kept in one tail byte and sent as parameter `param` of its command.
  EditResult SendTailSetting(int slot, uint8_t SlotState::*field, uint8_t value, int tail_index,
                             uint8_t command, int param);
  // Whether the line-out pair goes to this slot's device: family A only has the trigger line
  // output on the RK-540.
  bool SendsLineOut(int slot) const;
  // Command 7 of a channel, built from the image and the dynamics switch.
  std::optional<device::Params> DynamicsParams(const Target& t, int ch) const;

  ProgramStore& store_;
  Family family_;
};

}  // namespace tessaly::protocol
