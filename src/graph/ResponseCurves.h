#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "device/Slots.h"
#include "graph/CurveMath.h"
#include "protocol/Offsets.h"

namespace tessaly::protocol {
class ProgramStore;
}

namespace tessaly::graph {

using Curve = std::array<double, kGraphPoints>;

// Every curve of one slot, in dB on the GraphFreq grid. Zero (flat) until computed.
struct SlotCurves {
  std::array<Curve, protocol::kMaxBands> band_curve{};
  std::array<Curve, protocol::kCrossoverCount> xover_curve{};
  std::array<Curve, protocol::kMaxChannels> channel_curve{};
};

// What one band's curve is computed from.
struct BandInput {
  int16_t type = kBandBell;
  double gain_db = 0.0;
  double f0 = 1000.0;
  double q = 1.0;
  bool bypassed = false;
};

struct XoverInput {
  double fc = 1000.0;
  int16_t code = kXoverBypass;
  bool low_pass = false;
};

// The magnitude curves of the EQ bands and crossover filters of every slot, and their channel
// sums. Band and filter values are read from the slot's image (frequency, Q, gain) and its slot
// state (band type and bypass, EQ bypass, crossover frequency and slope). A slot's curves are
// allocated on its first computation (about 1 MB each), so unused slots cost nothing.
//
// Operations take the slot explicitly (callers pass CurrentDevice) and return false for a slot,
// band, filter or channel outside the slot's family; nothing is computed or drawn then.
class ResponseCurves {
 public:
  explicit ResponseCurves(protocol::ProgramStore& store);
  ~ResponseCurves();
  ResponseCurves(const ResponseCurves&) = delete;
  ResponseCurves& operator=(const ResponseCurves&) = delete;

  // Recompute a band's curve and its channel's sum.
  bool UpdateBandCurve(int slot, int band);
  // The same for crossover filter 0 .. 5 (even = high-pass, odd = low-pass).
  bool UpdateXoverCurve(int slot, int filter);
  // Every band, or both filters, of a channel and the channel's sum; nothing is drawn.
  bool RecomputeChannelBands(int slot, int channel);
  bool RecomputeChannelXovers(int slot, int channel);
  // Every band, filter and sum of the slot, as after a whole program arrived.
  bool RecomputeAll(int slot);
  // Forgets the slot's curves, which then read 0 dB (flat) until computed again.
  void ReleaseSlot(int slot);
  // The shelving band's response at f; nullopt unless the band is a shelf of a valid slot.
  std::optional<double> ShelfResponseDb(int slot, int band, double f) const;

  // The inputs as the computation reads them; nullopt for an index out of range.
  std::optional<BandInput> BandInputOf(int slot, int band) const;
  std::optional<XoverInput> XoverInputOf(int slot, int filter) const;

  // Curves of a slot; nullptr while the slot has never been computed.
  const SlotCurves* Curves(int slot) const;
  // One point of a stored curve; 0 dB for a slot never computed, nullopt out of range.
  std::optional<double> BandValue(int slot, int band, int point) const;
  std::optional<double> XoverValue(int slot, int filter, int point) const;
  std::optional<double> ChannelValue(int slot, int channel, int point) const;

  // The channel's sum as it would be with `band` set to `input`, for a band being dragged; the
  // stored curves stay as they are. False when the slot or band is out of range.
  bool PreviewBand(int slot, int band, const BandInput& input, Curve& channel_out) const;

 private:
  struct Context;
  std::optional<Context> Resolve(int slot) const;
  SlotCurves& Allocate(int slot);
  void SumChannel(const Context& ctx, SlotCurves& curves, int channel) const;
  static void ComputeBand(const BandInput& input, Curve& out);
  static void ComputeXover(const XoverInput& input, Curve& out);

  protocol::ProgramStore& store_;
  std::array<std::unique_ptr<SlotCurves>, device::kSlotCount> curves_;
};

// The channel a global band belongs to; nullopt when the family has no such band.
std::optional<int> ChannelOfBand(const protocol::Layout& layout, int band);
// The output channel of a crossover filter; nullopt for a filter outside 0 .. 5.
std::optional<int> ChannelOfXover(const protocol::Layout& layout, int filter);
// Q of a band from its byte, by type: bell table, notch byte + 4, otherwise 0.1 + 0.05 byte.
double BandQFromByte(int type, uint8_t q_byte);

}  // namespace tessaly::graph
