#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "device/Commands.h"
#include "sim/ParameterDecoder.h"

namespace tessaly::sim {

// The 540S memory map as the device firmware sees it. Deliberately derived from the block layout
// (inputs every 80 bytes, outputs every 48 from 320) rather than from the PC's offset tables, so
// that the emulator checks the editor instead of echoing it.
namespace {

constexpr int kInputs = 4;
constexpr int kOutputs = 3;
constexpr int kChannels = kInputs + kOutputs;
constexpr int kInputBlock = 80;
constexpr int kOutputBase = 320;
constexpr int kOutputBlock = 48;
constexpr int kInputBands = 12;
constexpr int kOutputBands = 5;

constexpr int kSpeakerDriveByte = 503;
constexpr int kMuteMaskByte = 504;
constexpr int kPolarityMaskByte = 505;
constexpr int kDynamicsMaskByte = 506;
constexpr int kEqMaskByte = 507;
constexpr int kLinkByte = 510;

// Settings memory addresses (the PC keeps the same bytes in its record tail).
constexpr int kStandbyAddress = 16;
constexpr int kSleepModeAddress = 17;
constexpr int kNoiseTypeAddress = 32;
constexpr int kNoiseEnableAddress = 34;
constexpr int kDigitalModeAddress = 38;
constexpr int kMeterModeAddress = 45;
constexpr int kRoutingAddress = 608;

constexpr int kPacketLength = 13;
constexpr int kCommandIndex = 3;
constexpr int kFirstParamIndex = 4;

// Where a channel's block starts and how its fields sit inside it.
int BlockStart(int ch) {
  return ch < kInputs ? kInputBlock * ch : kOutputBase + kOutputBlock * (ch - kInputs);
}
int GainAt(int ch) { return BlockStart(ch) + 4; }
int DynamicsAt(int ch) { return BlockStart(ch) + 8; }
int BandAt(int ch, int band) { return BlockStart(ch) + (ch < kInputs ? 14 : 17) + 5 * band; }
int BandMaskAt(int ch) { return BlockStart(ch) + (ch < kInputs ? 74 : 42); }
int FilterAt(int ch, int filter) { return BlockStart(ch) + 11 + 3 * filter; }

class Decoder {
 public:
  Decoder(std::span<uint8_t> image, std::span<uint8_t> settings, std::span<const uint8_t> packet)
      : image_(image), settings_(settings), packet_(packet) {}

  bool Apply() {
    if (packet_.size() != kPacketLength) {
      return false;
    }
    const int ch = P(1);
    switch (packet_[kCommandIndex]) {
      case device::kCmdGain:
        return IsChannel(ch) && Put(image_, GainAt(ch), {P(8)});
      case device::kCmdDelay:  // delay: milliseconds high, low, samples
        return IsChannel(ch) && Put(image_, GainAt(ch) + 1, {P(6), P(7), P(8)});
      case device::kCmdPolarity:
        return IsChannel(ch) && PutBit(kPolarityMaskByte, ch, P(8) != 0);
      case device::kCmdCrossover:  // crossover: P2 selects high-pass (0) or low-pass (1)
        return IsOutput(ch) && P(2) <= 1 && Put(image_, FilterAt(ch, P(2)), {P(6), P(7), P(8)});
      case device::kCmdEqBand:
        return ApplyBand(ch);
      case device::kCmdEqSwitch:  // EQ switch: P8 = 1 means bypassed, the mask bit means working
        return IsChannel(ch) && PutBit(kEqMaskByte, ch, P(8) == 0);
      case device::kCmdDynamics:
        return ApplyDynamics(ch);
      case device::kCmdOutputMixer:  // output mixer: the four send bytes open the output block
        return IsOutput(ch) && Put(image_, BlockStart(ch), {P(5), P(6), P(7), P(8)});
      case device::kCmdMute:
        return IsChannel(ch) && PutBit(kMuteMaskByte, ch, P(8) != 0);
      case device::kCmdSpeakerDrive:
        return Put(image_, kSpeakerDriveByte, {P(8)});
      case device::kCmdGate:  // noise gate: the four bytes open the input block
        return ch < kInputs && Put(image_, BlockStart(ch), {P(5), P(6), P(7), P(8)});
      case device::kCmdInputRouting:  // input routing: four source bytes of input P1
        return ch < kInputs && Put(settings_, kRoutingAddress + 4 * ch, {P(5), P(6), P(7), P(8)});
      case device::kCmdNoiseGenerator:  // noise generator: enable, type, level
        return Fits(settings_, kNoiseEnableAddress) &&
               Put(settings_, kNoiseTypeAddress, {P(7), P(8)}) &&
               Put(settings_, kNoiseEnableAddress, {P(6)});
      case device::kCmdDigitalMode:
        return Put(settings_, kDigitalModeAddress, {P(8)});
      case device::kCmdStandby:
        return Put(settings_, kStandbyAddress, {P(1)});
      case device::kCmdSleepMode:
        return Put(settings_, kSleepModeAddress, {P(8)});
      case device::kCmdMeterMode:
        return Put(settings_, kMeterModeAddress, {P(8)});
      case device::kCmdLink:
        return Put(image_, kLinkByte, {P(8)});
      default:  // the line-out pair (46, 17) is the device's own business, as for family A
        return false;
    }
  }

 private:
  uint8_t P(int n) const { return packet_[kFirstParamIndex + n - 1]; }
  static bool IsChannel(int ch) { return ch < kChannels; }
  static bool IsOutput(int ch) { return ch >= kInputs && ch < kChannels; }

  static bool Fits(std::span<uint8_t> memory, int at) {
    return at >= 0 && static_cast<size_t>(at) < memory.size();
  }

  // Every write is checked as a whole before the first byte lands.
  static bool Put(std::span<uint8_t> memory, int at, std::initializer_list<uint8_t> bytes) {
    if (at < 0 || static_cast<size_t>(at) + bytes.size() > memory.size()) {
      return false;
    }
    for (uint8_t b : bytes) {
      memory[static_cast<size_t>(at++)] = b;
    }
    return true;
  }

  bool PutBit(int at, int bit, bool set) {
    if (static_cast<size_t>(at) >= image_.size()) {
      return false;
    }
    const auto mask = static_cast<uint8_t>(1u << bit);
    image_[static_cast<size_t>(at)] = static_cast<uint8_t>(
        set ? image_[static_cast<size_t>(at)] | mask : image_[static_cast<size_t>(at)] & ~mask);
    return true;
  }

  // P2 band within the channel, P3 its bypass flag, P4..P8 the band's five bytes.
  bool ApplyBand(int ch) {
    if (!IsChannel(ch)) {
      return false;
    }
    const int band = P(2);
    if (band >= (ch < kInputs ? kInputBands : kOutputBands)) {
      return false;
    }
    const int mask_at = BandMaskAt(ch);
    if (static_cast<size_t>(mask_at) + 2 > image_.size()) {
      return false;
    }
    if (!Put(image_, BandAt(ch, band), {P(4), P(5), P(6), P(7), P(8)})) {
      return false;
    }
    unsigned mask = (image_[static_cast<size_t>(mask_at)] << 8) | image_[mask_at + 1u];
    mask = P(3) != 0 ? mask | (1u << band) : mask & ~(1u << band);
    return Put(image_, mask_at, {static_cast<uint8_t>(mask >> 8), static_cast<uint8_t>(mask)});
  }

  // Inputs carry the compressor in P3..P8, outputs the limiter in P6..P8; P2 = 1 means the block
  // is bypassed, while the mask bit means it is working.
  bool ApplyDynamics(int ch) {
    if (!IsChannel(ch)) {
      return false;
    }
    const bool written = ch < kInputs
                             ? Put(image_, DynamicsAt(ch), {P(3), P(4), P(5), P(6), P(7), P(8)})
                             : Put(image_, DynamicsAt(ch), {P(6), P(7), P(8)});
    return written && PutBit(kDynamicsMaskByte, ch, P(2) == 0);
  }

  std::span<uint8_t> image_;
  std::span<uint8_t> settings_;
  std::span<const uint8_t> packet_;
};

}  // namespace

bool ApplyFamilyBCommand(std::span<uint8_t> image, std::span<uint8_t> settings,
                         std::span<const uint8_t> packet) {
  return Decoder(image, settings, packet).Apply();
}

}  // namespace tessaly::sim
