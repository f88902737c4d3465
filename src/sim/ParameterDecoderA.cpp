#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "device/Commands.h"
#include "sim/ParameterDecoder.h"

namespace tessaly::sim {

// The memory map of the RK-540, RK-360 and RL-4800 as their firmware sees it. Derived from the
// block layout (inputs every 80 bytes, outputs every 48 from 160), not from the PC's offset
// tables, so the emulator checks the editor instead of echoing it.
namespace {

constexpr int kInputs = 2;
constexpr int kOutputs = 3;
constexpr int kChannels = kInputs + kOutputs;
constexpr int kInputBlock = 80;
constexpr int kOutputBase = 160;
constexpr int kOutputBlock = 48;
constexpr int kInputBands = 12;
constexpr int kOutputBands = 5;
constexpr int kBandSize = 5;

constexpr int kAnalogModeByte = 341;
constexpr int kDigitalModeByte = 342;
constexpr int kSpeakerDriveByte = 343;
constexpr int kMuteMaskByte = 344;
constexpr int kPolarityMaskByte = 345;
constexpr int kDynamicsMaskByte = 346;
constexpr int kEqMaskByte = 347;
constexpr int kInputSourceByte = 348;
constexpr int kLineOutByte = 349;
constexpr int kLinkByte = 350;

// Settings memory addresses (the PC keeps the same bytes in its record tail).
constexpr int kStandbyAddress = 16;
constexpr int kSleepModeAddress = 17;
constexpr int kTriggerAddress = 21;
constexpr int kNoiseTypeAddress = 32;
constexpr int kMeterModeAddress = 45;
constexpr int kMirroringAddress = 47;

constexpr int kPacketLength = 13;
constexpr int kCommandIndex = 3;
constexpr int kFirstParamIndex = 4;

bool IsInput(int ch) { return ch < kInputs; }
bool IsChannel(int ch) { return ch < kChannels; }
bool IsOutput(int ch) { return ch >= kInputs && ch < kChannels; }

// Where a channel's block starts and where its fields sit inside it. Outputs open with their
// source byte, so their fields sit three bytes earlier than an input's.
int BlockStart(int ch) {
  return IsInput(ch) ? kInputBlock * ch : kOutputBase + kOutputBlock * (ch - kInputs);
}
int GainAt(int ch) { return BlockStart(ch) + (IsInput(ch) ? 4 : 1); }
int DelayAt(int ch) { return GainAt(ch) + 1; }
int DynamicsAt(int ch) { return BlockStart(ch) + (IsInput(ch) ? 8 : 5); }
int FilterAt(int ch, int filter) { return BlockStart(ch) + 8 + 3 * filter; }
int BandAt(int ch, int band) { return BlockStart(ch) + 14 + kBandSize * band; }
int BandMaskAt(int ch) { return BandAt(ch, IsInput(ch) ? kInputBands : kOutputBands); }

class Decoder {
 public:
  Decoder(std::span<uint8_t> image, std::span<uint8_t> settings, std::span<const uint8_t> packet)
      : image_(image), settings_(settings), packet_(packet) {}

  bool Apply() {
    if (packet_.size() != kPacketLength) return false;
    const int ch = P(1);
    switch (packet_[kCommandIndex]) {
      case device::kCmdGain:
        return IsChannel(ch) && Put(image_, GainAt(ch), {P(8)});
      case device::kCmdDelay:  // delay: milliseconds high, low, samples
        return IsChannel(ch) && Put(image_, DelayAt(ch), {P(6), P(7), P(8)});
      case device::kCmdPolarity:  // polarity: P8 = 1 inverted
        return IsChannel(ch) && PutBit(kPolarityMaskByte, ch, P(8) != 0);
      case device::kCmdCrossover:  // crossover: P2 = 0 high-pass, 1 low-pass; frequency high, low,
                                   // slope
        return IsOutput(ch) && P(2) <= 1 && Put(image_, FilterAt(ch, P(2)), {P(6), P(7), P(8)});
      case device::kCmdEqBand:
        return ApplyBand(ch);
      case device::kCmdEqSwitch:  // EQ switch: P8 = 1 bypassed, while the mask bit means working
        return IsChannel(ch) && PutBit(kEqMaskByte, ch, P(8) == 0);
      case device::kCmdDynamics:
        return ApplyDynamics(ch);
      case device::kCmdOutputSource:  // output source opens the output block
        return IsOutput(ch) && P(8) <= 2 && Put(image_, BlockStart(ch), {P(8)});
      case device::kCmdMute:
        return IsChannel(ch) && PutBit(kMuteMaskByte, ch, P(8) != 0);
      case device::kCmdSpeakerDrive:  // speaker drive of all three outputs
        return Put(image_, kSpeakerDriveByte, {P(8)});
      case device::kCmdGate:  // noise gate: bypass, threshold, release, attack open the input block
        return IsInput(ch) && Put(image_, BlockStart(ch), {P(5), P(6), P(7), P(8)});
      case device::kCmdInputMode:  // analog mode, digital mode, input source
        return Fits(image_, kInputSourceByte) && Put(image_, kAnalogModeByte, {P(6)}) &&
               Put(image_, kDigitalModeByte, {P(7)}) && Put(image_, kInputSourceByte, {P(8)});
      case device::kCmdNoiseGenerator:  // noise generator: type, level
        return Put(settings_, kNoiseTypeAddress, {P(7), P(8)});
      case device::kCmdStandby:
        return Put(settings_, kStandbyAddress, {P(1)});
      case device::kCmdLineOut:  // line out: mirroring, line-out/trigger image byte, trigger byte
        return Fits(settings_, kMirroringAddress) && Fits(image_, kLineOutByte) &&
               Put(settings_, kMirroringAddress, {P(6)}) && Put(image_, kLineOutByte, {P(7)}) &&
               Put(settings_, kTriggerAddress, {P(8)});
      case device::kCmdSleepMode:
        return Put(settings_, kSleepModeAddress, {P(8)});
      case device::kCmdMeterMode:
        return Put(settings_, kMeterModeAddress, {P(8)});
      case device::kCmdLink:
        return Put(image_, kLinkByte, {P(8)});
      default:
        return false;
    }
  }

 private:
  uint8_t P(int n) const { return packet_[static_cast<size_t>(kFirstParamIndex + n - 1)]; }

  static bool Fits(std::span<uint8_t> memory, int at) {
    return at >= 0 && static_cast<size_t>(at) < memory.size();
  }

  // Every write is checked as a whole before the first byte lands.
  static bool Put(std::span<uint8_t> memory, int at, std::initializer_list<uint8_t> bytes) {
    if (at < 0 || static_cast<size_t>(at) + bytes.size() > memory.size()) return false;
    for (uint8_t b : bytes) memory[static_cast<size_t>(at++)] = b;
    return true;
  }

  bool PutBit(int at, int bit, bool set) {
    if (!Fits(image_, at)) return false;
    auto& byte = image_[static_cast<size_t>(at)];
    const auto mask = static_cast<uint8_t>(1u << bit);
    byte = static_cast<uint8_t>(set ? byte | mask : byte & ~mask);
    return true;
  }

  // P2 band within the channel, P3 its bypass flag, P4..P8 the band's five bytes; the channel's
  // 16-bit bypass mask follows its last band.
  bool ApplyBand(int ch) {
    if (!IsChannel(ch)) return false;
    const int band = P(2);
    if (band >= (IsInput(ch) ? kInputBands : kOutputBands)) return false;
    const int mask_at = BandMaskAt(ch);
    if (!Fits(image_, mask_at + 1)) return false;
    if (!Put(image_, BandAt(ch, band), {P(4), P(5), P(6), P(7), P(8)})) return false;
    unsigned mask = (image_[static_cast<size_t>(mask_at)] << 8) | image_[mask_at + 1u];
    mask = P(3) != 0 ? mask | (1u << band) : mask & ~(1u << band);
    return Put(image_, mask_at, {static_cast<uint8_t>(mask >> 8), static_cast<uint8_t>(mask)});
  }

  // Inputs carry the compressor in P3..P8, outputs the limiter in P6..P8; P2 = 1 means the block
  // is bypassed, while the mask bit means it is working.
  bool ApplyDynamics(int ch) {
    if (!IsChannel(ch)) return false;
    const bool written = IsInput(ch)
                             ? Put(image_, DynamicsAt(ch), {P(3), P(4), P(5), P(6), P(7), P(8)})
                             : Put(image_, DynamicsAt(ch), {P(6), P(7), P(8)});
    return written && PutBit(kDynamicsMaskByte, ch, P(2) == 0);
  }

  std::span<uint8_t> image_;
  std::span<uint8_t> settings_;
  std::span<const uint8_t> packet_;
};

}  // namespace

bool ApplyFamilyACommand(std::span<uint8_t> image, std::span<uint8_t> settings,
                         std::span<const uint8_t> packet) {
  return Decoder(image, settings, packet).Apply();
}

}  // namespace tessaly::sim
