#pragma once

#include <cstdint>

namespace tessaly::protocol {

class ProgramStore;

// Outcome of one parameter operation. kRefused: a channel, band, filter or value out of range;
// neither the image nor the slot state was touched and nothing was sent.
enum class EditResult {
  kDone,        // image written; the packet was answered or held back by the traffic state
  kSendFailed,  // image written; the reply was lost (and told), or the line did not open
  kRefused,
  kNotSupported,  // the operation does not exist for the slot's family or device type
};

// Parameter values in wire form, fields in image order.
struct GateValues {
  uint8_t bypass = 1;     // 1 = gate bypassed
  uint8_t threshold = 0;  // 0..6
  uint8_t release = 0;    // 0..12
  uint8_t attack = 0;     // 0..28
};

struct CompressorValues {
  uint8_t threshold = 0;  // 0..150
  uint8_t ratio = 0;      // 0..30
  uint8_t knee = 0;       // 0..100
  uint8_t release = 0;    // 0..29
  uint8_t attack = 0;     // 0..29
  uint8_t makeup = 0;     // 0..24
};

struct LimiterValues {
  uint8_t threshold = 0;  // 0..150
  uint8_t release = 0;    // 0..49
  uint8_t attack = 0;     // 0..40
};

struct EqBandValues {
  uint8_t type = 0;        // 0..5
  uint16_t frequency = 0;  // Hz, 20..20000
  uint8_t q = 0;           // 0..100
  uint8_t gain = 0;        // 0..60
};

// Which of the three family A input-mode controls changed.
enum class InputModeField {
  kSource,       // Option2: 0 "Analog Input", 1 "Digital Input", 2 "Noise Generator"
  kAnalogMode,   // OptionAnalMode: 0 "Input 2 L/R", 1 "Input 1 L/R"
  kDigitalMode,  // OptionDigMode: 0 "Coaxial", 1 "Optical"; only while the digital input is on
};

// The parameter operations of one device family. Each one checks its arguments, writes the
// image and the slot state, sends the one command that carries the parameter with its bytes
// read back from the image, and then tells the store's views. Operations a family does not have
// answer kNotSupported.
class FamilyOperations {
 public:
  virtual ~FamilyOperations() = default;

  virtual EditResult SendGain(int slot, int ch, uint8_t gain) = 0;
  virtual EditResult SendDelay(int slot, int ch, int milliseconds, int samples) = 0;
  virtual EditResult SendPolarity(int slot, int ch, bool inverted) = 0;
  virtual EditResult SendMute(int slot, int ch, bool muted) = 0;
  virtual EditResult SendCrossover(int slot, int ch, int filter, int frequency_hz, int slope) = 0;
  virtual EditResult SendEqBand(int slot, int ch, int band, const EqBandValues& values,
                                bool bypassed) = 0;
  virtual EditResult SendEqSwitch(int slot, int ch, bool bypassed) = 0;
  virtual EditResult SendCompressor(int slot, int ch, const CompressorValues& values,
                                    bool bypassed) = 0;
  virtual EditResult SendLimiter(int slot, int ch, const LimiterValues& values, bool bypassed) = 0;
  virtual EditResult SendGate(int slot, int ch, const GateValues& values) = 0;
  // `output` is 0..2; drive 0 "16 Ohm - 100V", 1 "4-8 Ohm - 70V".
  virtual EditResult SendSpeakerDrive(int slot, int output, int drive) = 0;
  virtual EditResult SendNoiseGenerator(int slot, int type, int level) = 0;
  virtual EditResult SendStandby(int slot, bool standby) = 0;
  virtual EditResult SendLineOut(int slot, bool enabled) = 0;
  virtual EditResult SendSleepMode(int slot, bool enabled) = 0;
  virtual EditResult SendMeterMode(int slot, int mode) = 0;
  // Ticks or clears the link box of a channel (family A: either input sets the input link).
  virtual EditResult SendLink(int slot, int ch, bool linked) = 0;
  // PC side only: 0 "Time", 1 "Meter".
  virtual EditResult SetDelayUnit(int slot, int unit) = 0;

  // Family A only.
  virtual EditResult SendOutputSource(int /*slot*/, int /*ch*/, int /*source*/) {
    return EditResult::kNotSupported;
  }
  virtual EditResult SendInputMode(int /*slot*/, InputModeField /*field*/, int /*index*/) {
    return EditResult::kNotSupported;
  }

  // Family B only.
  virtual EditResult SendOutputMixer(int /*slot*/, int /*ch*/, int /*input*/, bool /*enabled*/,
                                     int /*level*/) {
    return EditResult::kNotSupported;
  }
  virtual EditResult SendInputRouting(int /*slot*/, int /*input*/, int /*source*/, bool /*enabled*/,
                                      int /*level*/) {
    return EditResult::kNotSupported;
  }
  virtual EditResult SendDigitalMode(int /*slot*/, int /*mode*/) {
    return EditResult::kNotSupported;
  }
};

// Routes an operation to the family of the slot's device: type 3 to family B, every other type
// to family A.
class Dispatcher {
 public:
  Dispatcher(ProgramStore& store, FamilyOperations& family_a, FamilyOperations& family_b)
      : store_(store), family_a_(family_a), family_b_(family_b) {}

  FamilyOperations& For(int slot);
  // The family of CurrentDevice.
  FamilyOperations& Current();

 private:
  ProgramStore& store_;
  FamilyOperations& family_a_;
  FamilyOperations& family_b_;
};

}  // namespace tessaly::protocol
