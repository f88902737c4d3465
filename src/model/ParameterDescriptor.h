#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

#include "model/EditOperations.h"
#include "model/ParamId.h"
#include "protocol/Offsets.h"
#include "protocol/ValueScale.h"

namespace tessaly::model {

// Where a parameter lives on a device.
enum class Scope {
  kInput,         // one value per input channel
  kOutput,        // one value per output channel
  kAnyChannel,    // one value per channel
  kBand,          // per EQ band of a channel (element = band within the channel)
  kCrossover,     // the high-pass or low-pass filter of an output
  kMixerSend,     // per send of a family B output mixer (element = mixer input 0..3)
  kRoutingPoint,  // per cross-point of the family B routing matrix (element = source 0..3)
  kDevice,        // one value per device
};

inline constexpr int kFamilyA = 1;
inline constexpr int kFamilyB = 2;
inline constexpr int kBothFamilies = kFamilyA | kFamilyB;
int FamilyBit(protocol::Family family);

// How a parameter's index is made from its value.
enum class ValueKind {
  kScale,      // the byte of one of the value scales
  kBandQ,      // the Q byte, on the scale of the band's type
  kFrequency,  // whole hertz
  kDelay,      // milliseconds * kDelaySamplesPerMs + samples
  kChoice,     // the position of a caption in the list
  kSwitch,     // 0 off, 1 on
  kAction,     // a one-shot command; only "yes" (1) is accepted
};

// A delay's fraction of a millisecond is 0 to 48 samples.
inline constexpr int kDelaySamplesPerMs = 49;

// The vertical track of a knob image, in twips.
struct KnobTrack {
  int upper = 0;
  int lower = 0;
  int length = 0;
};

// Text rules, and the slot context a few values depend on (the edit path fills the context).
struct ParseOptions {
  bool decimal_comma = true;  // "," reads as a decimal separator besides "."
  bool unit_suffix = false;   // "12.5ms", "4.25m", "-6dB", "1000Hz" (the command line)
  int device_type = 0;
  int channel = -1;
  int band_type = 0;   // chooses the Q scale
  int delay_unit = 1;  // 0 time, 1 metres, as the slot shows its delays
};

struct ParseResult {
  std::optional<int> index;
  QString refusal;  // one sentence naming the accepted range when there is no index
  bool ok() const { return index.has_value(); }
};

// One editable parameter, one row of the parameter table: its identity, its name on the command
// line, where it exists, the rules that turn a typed text into its index (the byte, hertz, delay
// or caption position) and back, and how it is read, written and linked.
struct ParameterDescriptor {
  ParamId id = ParamId::kGain;
  QString name;     // "gain", "eq.N.gain" (N = band), "mix.IN.level" (IN = mixer input)
  QString caption;  // what the undo text calls it: "Gain", "EQ Gain"
  int families = kBothFamilies;
  std::vector<int> device_types;  // empty: every type of the families
  Scope scope = Scope::kAnyChannel;
  ValueKind kind = ValueKind::kScale;
  protocol::ScaleKind scale = protocol::ScaleKind::kGain;  // kScale only
  QStringList captions;                                    // kChoice (and kSwitch: "off", "on")
  QList<QStringList> aliases;                              // extra accepted words per caption
  QStringList family_b_captions;  // when family B names the choices otherwise
  int minimum = 0;                // index range and step
  int maximum = 0;
  int step = 1;
  QString unit;  // "dB", "ms", "Hz"; empty for none
  QString note;  // extra help words after the range ("(a new type resets the band gain)")
  std::optional<KnobTrack> knob;
  bool undoable = true;
  // Picking the value the target already holds sends nothing (a band type picked again would
  // otherwise reset the band's gain).
  bool same_value_is_no_edit = false;
  Operation op;

  bool OnType(int device_type) const;

  ParseResult Parse(QStringView text, const ParseOptions& options = {}) const;
  // The value as the editor shows it, with its unit ("-6 dB", "4:1", "Bell").
  QString Show(int index, const ParseOptions& context = {}) const;
  // The value as its text box shows it: the number alone, written with the decimal symbol the
  // context's `decimal_comma` chooses ("-6,5", "12", "0,67").
  QString BoxText(int index, const ParseOptions& context = {}) const;

  // The upside-down, 1-based slider: position 1 is the largest index.
  int SliderPosition(int index) const;
  int IndexFromSlider(int position) const;
  // The knob's top edge for an index and the index at a top edge (clamped onto the track).
  int KnobTop(int index) const;
  int IndexFromKnob(int top) const;

  // The accepted values for help: "dB, -60 to +12 in 0.5 dB steps".
  QString RangeText() const;
};

// The whole table, row i describing ParamId i.
const std::vector<ParameterDescriptor>& Parameters();
// The EQ gain index a gain in dB lands on: half-dB steps, a gain between two steps goes to the
// step above it.
int EqGainIndexOf(double gain_db);
const ParameterDescriptor& Param(ParamId id);
// By name as listed ("eq.N.gain", case ignored); nullptr when there is none.
const ParameterDescriptor* FindParameter(QStringView name);

// A typed name such as "eq.3.freq" or "mix.In2L.level" resolved for a device type: the
// parameter and its element (band, mixer input or routing source from 0; -1 for none).
struct ResolvedParameter {
  const ParameterDescriptor* parameter = nullptr;
  int element = -1;
};
std::optional<ResolvedParameter> ResolveParameter(QStringView typed, int device_type,
                                                  QString* error);
// A typed channel name ("InL", "sub") or number; nullopt when the device has no such channel.
std::optional<int> ResolveChannel(QStringView text, int device_type);

}  // namespace tessaly::model
