#include "graph/ResponseCurves.h"

#include <algorithm>

#include "protocol/ProgramStore.h"

namespace tessaly::graph {

namespace {

// Band bytes in image order. The type byte is not read: the slot state's band type is what the
// editors keep in step with it.
constexpr int kBandFreqHigh = 1;
constexpr int kBandFreqLow = 2;
constexpr int kBandQ = 3;
constexpr int kBandGain = 4;

// A corrupt image or preset could hold 0 Hz; the formulas divide by it.
constexpr double kLowestHz = 1.0;

bool InRange(int index, size_t size) { return index >= 0 && static_cast<size_t>(index) < size; }

}  // namespace

struct ResponseCurves::Context {
  const protocol::Layout* layout;
  const protocol::ProgramData* data;
  const protocol::SlotState* state;
};

std::optional<int> ChannelOfBand(const protocol::Layout& layout, int band) {
  for (int ch = 0; ch < layout.channel_count; ++ch) {
    if (band >= layout.first_band[ch] &&
        band <= layout.first_band[ch] + layout.last_band_number[ch]) {
      return ch;
    }
  }
  return std::nullopt;
}

std::optional<int> ChannelOfXover(const protocol::Layout& layout, int filter) {
  if (filter < 0 || filter >= protocol::kCrossoverCount) return std::nullopt;
  return layout.first_output + filter / 2;
}

ResponseCurves::ResponseCurves(protocol::ProgramStore& store) : store_(store) {}
ResponseCurves::~ResponseCurves() = default;

std::optional<ResponseCurves::Context> ResponseCurves::Resolve(int slot) const {
  if (!device::IsValidSlot(slot)) return std::nullopt;
  const protocol::ProgramData* data = std::as_const(store_).Data(slot);
  const protocol::SlotState* state = std::as_const(store_).State(slot);
  if (data == nullptr || state == nullptr) return std::nullopt;
  return Context{&data->layout(), data, state};
}

SlotCurves& ResponseCurves::Allocate(int slot) {
  auto& curves = curves_[static_cast<size_t>(slot)];
  if (!curves) curves = std::make_unique<SlotCurves>();
  return *curves;
}

void ResponseCurves::ReleaseSlot(int slot) {
  if (device::IsValidSlot(slot)) curves_[static_cast<size_t>(slot)].reset();
}

const SlotCurves* ResponseCurves::Curves(int slot) const {
  if (!device::IsValidSlot(slot)) return nullptr;
  return curves_[static_cast<size_t>(slot)].get();
}

std::optional<BandInput> ResponseCurves::BandInputOf(int slot, int band) const {
  const auto ctx = Resolve(slot);
  if (!ctx || band < 0 || band >= ctx->layout->band_count) return std::nullopt;
  const std::vector<uint8_t> bytes =
      ctx->data->Read(ctx->layout->eq_band_offset[band], protocol::kBandBytes);
  if (bytes.size() != static_cast<size_t>(protocol::kBandBytes)) return std::nullopt;
  BandInput input;
  input.type = ctx->state->band_type[band];
  input.f0 = std::max(kLowestHz, bytes[kBandFreqHigh] * 256.0 + bytes[kBandFreqLow]);
  input.q = BandQFromByte(input.type, bytes[kBandQ]);
  input.gain_db = bytes[kBandGain] / 2.0 - 15.0;
  input.bypassed = ctx->state->band_bypass[band];
  return input;
}

std::optional<XoverInput> ResponseCurves::XoverInputOf(int slot, int filter) const {
  const auto ctx = Resolve(slot);
  if (!ctx || !InRange(filter, ctx->state->crossover.size())) return std::nullopt;
  const protocol::CrossoverState& xover = ctx->state->crossover[filter];
  XoverInput input;
  input.fc = std::max(kLowestHz, static_cast<double>(xover.frequency));
  input.code = XoverCode(xover.slope);
  input.low_pass = filter % 2 == protocol::kFilterLowPass;
  return input;
}

void ResponseCurves::ComputeBand(const BandInput& input, Curve& out) {
  if (!IsKnownBandType(input.type)) return;  // an unknown type keeps whatever was drawn
  if (input.bypassed) {
    out.fill(0.0);
    return;
  }
  FillBandCurve(input.type, input.gain_db, input.f0, EffectiveQ(input.type, input.gain_db, input.q),
                out);
}

bool ResponseCurves::PreviewBand(int slot, int band, const BandInput& input,
                                 Curve& channel_out) const {
  const auto ctx = Resolve(slot);
  if (!ctx || band < 0 || band >= ctx->layout->band_count) return false;
  const auto channel = ChannelOfBand(*ctx->layout, band);
  if (!channel) return false;
  const SlotCurves* curves = Curves(slot);
  if (curves == nullptr) {
    channel_out.fill(0.0);
  } else {
    channel_out = curves->channel_curve[*channel];
  }
  if (ctx->state->eq_bypass[*channel]) return true;
  Curve band_now{};
  if (curves != nullptr) band_now = curves->band_curve[band];
  Curve band_new = band_now;
  ComputeBand(input, band_new);
  for (int p = 0; p < kGraphPoints; ++p) channel_out[p] += band_new[p] - band_now[p];
  return true;
}

void ResponseCurves::ComputeXover(const XoverInput& input, Curve& out) {
  FillXoverCurve(input.code, input.low_pass, input.fc, out);
}

void ResponseCurves::SumChannel(const Context& ctx, SlotCurves& curves, int channel) const {
  // Band by band rather than point by point, so each curve is read in one pass; every point
  // still adds HP, LP and the bands in that order.
  const protocol::Layout& layout = *ctx.layout;
  Curve& out = curves.channel_curve[channel];
  if (layout.IsOutput(channel)) {
    const int hp = (channel - layout.first_output) * 2;
    const Curve& high = curves.xover_curve[hp];
    const Curve& low = curves.xover_curve[hp + 1];
    for (int p = 0; p < kGraphPoints; ++p) out[p] = high[p] + low[p];
  } else {
    out.fill(0.0);
  }
  if (ctx.state->eq_bypass[channel]) return;
  const int first = layout.first_band[channel];
  const int last = first + layout.last_band_number[channel];
  for (int band = first; band <= last; ++band) {
    const Curve& terms = curves.band_curve[band];
    for (int p = 0; p < kGraphPoints; ++p) out[p] += terms[p];
  }
}

bool ResponseCurves::UpdateBandCurve(int slot, int band) {
  const auto ctx = Resolve(slot);
  const auto input = BandInputOf(slot, band);
  if (!ctx || !input) return false;
  const auto channel = ChannelOfBand(*ctx->layout, band);
  if (!channel) return false;

  SlotCurves& curves = Allocate(slot);
  ComputeBand(*input, curves.band_curve[band]);
  SumChannel(*ctx, curves, *channel);
  return true;
}

bool ResponseCurves::UpdateXoverCurve(int slot, int filter) {
  const auto ctx = Resolve(slot);
  const auto input = XoverInputOf(slot, filter);
  if (!ctx || !input) return false;
  const auto channel = ChannelOfXover(*ctx->layout, filter);
  if (!channel) return false;

  SlotCurves& curves = Allocate(slot);
  ComputeXover(*input, curves.xover_curve[filter]);
  SumChannel(*ctx, curves, *channel);
  return true;
}

bool ResponseCurves::RecomputeChannelBands(int slot, int channel) {
  const auto ctx = Resolve(slot);
  if (!ctx || !ctx->layout->IsChannel(channel)) return false;
  SlotCurves& curves = Allocate(slot);
  const int first = ctx->layout->first_band[channel];
  for (int band = first; band <= first + ctx->layout->last_band_number[channel]; ++band) {
    const auto input = BandInputOf(slot, band);
    if (!input) return false;
    ComputeBand(*input, curves.band_curve[band]);
  }
  SumChannel(*ctx, curves, channel);
  return true;
}

bool ResponseCurves::RecomputeChannelXovers(int slot, int channel) {
  const auto ctx = Resolve(slot);
  if (!ctx || !ctx->layout->IsOutput(channel)) return false;
  SlotCurves& curves = Allocate(slot);
  const int hp = (channel - ctx->layout->first_output) * 2;
  for (int filter = hp; filter <= hp + 1; ++filter) {
    const auto input = XoverInputOf(slot, filter);
    if (!input) return false;
    ComputeXover(*input, curves.xover_curve[filter]);
  }
  SumChannel(*ctx, curves, channel);
  return true;
}

bool ResponseCurves::RecomputeAll(int slot) {
  const auto ctx = Resolve(slot);
  if (!ctx) return false;
  for (int ch = 0; ch < ctx->layout->channel_count; ++ch) {
    if (ctx->layout->IsOutput(ch) && !RecomputeChannelXovers(slot, ch)) return false;
    if (!RecomputeChannelBands(slot, ch)) return false;
  }
  return true;
}

std::optional<double> ResponseCurves::ShelfResponseDb(int slot, int band, double f) const {
  const auto input = BandInputOf(slot, band);
  if (!input || (input->type != kBandHiShelf && input->type != kBandLoShelf)) return std::nullopt;
  return graph::ShelfResponseDb(input->type, input->gain_db, input->f0,
                                EffectiveQ(input->type, input->gain_db, input->q), f);
}

std::optional<double> ResponseCurves::BandValue(int slot, int band, int point) const {
  const auto ctx = Resolve(slot);
  if (!ctx || band < 0 || band >= ctx->layout->band_count || !InRange(point, kGraphPoints)) {
    return std::nullopt;
  }
  const SlotCurves* curves = Curves(slot);
  return curves ? curves->band_curve[band][point] : 0.0;
}

std::optional<double> ResponseCurves::XoverValue(int slot, int filter, int point) const {
  const auto ctx = Resolve(slot);
  if (!ctx || !InRange(filter, protocol::kCrossoverCount) || !InRange(point, kGraphPoints)) {
    return std::nullopt;
  }
  const SlotCurves* curves = Curves(slot);
  return curves ? curves->xover_curve[filter][point] : 0.0;
}

std::optional<double> ResponseCurves::ChannelValue(int slot, int channel, int point) const {
  const auto ctx = Resolve(slot);
  if (!ctx || !ctx->layout->IsChannel(channel) || !InRange(point, kGraphPoints)) {
    return std::nullopt;
  }
  const SlotCurves* curves = Curves(slot);
  return curves ? curves->channel_curve[channel][point] : 0.0;
}

}  // namespace tessaly::graph
