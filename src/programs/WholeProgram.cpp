#include "programs/WholeProgram.h"

#include <algorithm>
#include <array>

#include "comm/Comm.h"
#include "device/Commands.h"
#include "graph/ResponseCurves.h"
#include "programs/ProgramNames.h"
#include "protocol/CommonOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"

namespace tessaly::programs {

using protocol::EditResult;
using protocol::Family;
using protocol::Layout;

namespace {

bool Bit(uint8_t byte, int bit) { return ((byte >> bit) & 1) != 0; }

// Tail index and the value the reset puts there.
struct TailDefault {
  int index;
  uint8_t value;
};
constexpr std::array<TailDefault, 8> kTailDefaults{{
    {protocol::kTailStandby, kResetStandby},
    {protocol::kTailSleepMode, 0},
    {protocol::kTailDelayUnit, kResetDelayUnit},
    {protocol::kTailTrigger, 0},
    {protocol::kTailNoiseType, 0},
    {protocol::kTailNoiseLevel, 0},
    {protocol::kTailMeterMode, kResetMeterMode},
    {protocol::kTailMirroring, 0},
}};

// Runs the device-wide operations (and the per-channel ones off the channel page) over the
// values just shown. The transfer lock keeps them silent; they rewrite their bytes from the
// slot state, so stray bits in masks and device-wide bytes are normalised before a later block
// write sends them.
void RerunDeviceSettings(protocol::FamilyOperations& ops, const protocol::ProgramData& data,
                         const protocol::SlotState& state, int slot) {
  const Layout& layout = data.layout();
  for (int ch = 0; ch < layout.channel_count; ++ch) {
    const size_t c = static_cast<size_t>(ch);
    if (const auto gain = data.Get(layout.gain_offset[c])) (void)ops.SendGain(slot, ch, *gain);
    if (const auto delay = protocol::ReadDelay(data, ch)) {
      (void)ops.SendDelay(slot, ch, delay->milliseconds, delay->samples);
    }
    (void)ops.SendPolarity(slot, ch, state.polarity[c]);
    (void)ops.SendMute(slot, ch, state.mute[c]);
    const bool family_a_input = layout.family == Family::kA && layout.IsInput(ch);
    (void)ops.SendLink(slot, ch,
                       (family_a_input ? state.input_link_on : state.link_member[c]) != 0);
  }
  for (int n = 0; n < protocol::kOutputCount; ++n) {
    (void)ops.SendSpeakerDrive(slot, n, state.speaker_drive[static_cast<size_t>(n)]);
  }
  if (layout.family == Family::kA) {
    (void)ops.SendInputMode(slot, protocol::InputModeField::kSource,
                            data.Get(layout.input_source).value_or(0));
    (void)ops.SendInputMode(slot, protocol::InputModeField::kAnalogMode,
                            data.Get(layout.analog_mode).value_or(0));
    (void)ops.SendInputMode(slot, protocol::InputModeField::kDigitalMode,
                            data.Get(layout.digital_mode).value_or(0));
  } else {
    (void)ops.SendDigitalMode(slot, data.Tail(protocol::kTailDigitalMode).value_or(0));
  }
  (void)ops.SendNoiseGenerator(slot, state.noise_type, state.noise_level);
  if (const auto line_out = data.Get(layout.line_out)) (void)ops.SendLineOut(slot, *line_out != 0);
  (void)ops.SendMeterMode(slot, state.meter_mode);
  (void)ops.SendSleepMode(slot, state.sleep_mode != 0);
}

}  // namespace

void DeriveSlotState(const protocol::ProgramData& data, protocol::SlotState& state) {
  const Layout& layout = data.layout();
  const uint8_t mute = data.Get(layout.mute_mask).value_or(0);
  const uint8_t polarity = data.Get(layout.polarity_mask).value_or(0);
  const uint8_t dynamics = data.Get(layout.dynamics_mask).value_or(0);
  const uint8_t eq = data.Get(layout.eq_mask).value_or(0);
  for (int ch = 0; ch < protocol::kMaxChannels; ++ch) {
    const bool exists = layout.IsChannel(ch);
    // A set dynamics or EQ bit means the block is working; the flags say "bypassed".
    state.mute[ch] = exists && Bit(mute, ch);
    state.polarity[ch] = exists && Bit(polarity, ch);
    state.dynamics_bypass[ch] = exists && !Bit(dynamics, ch);
    state.eq_bypass[ch] = exists && !Bit(eq, ch);
  }

  state.band_bypass.fill(false);
  state.band_type.fill(0);
  for (int ch = 0; ch < layout.channel_count; ++ch) {
    const uint16_t mask = data.Get16(layout.eq_bypass_offset[ch]).value_or(0);
    for (int k = 0; k < layout.BandCount(ch); ++k) {
      const int band = layout.first_band[ch] + k;
      state.band_bypass[band] = ((mask >> k) & 1) != 0;
      state.band_type[band] = data.Get(layout.eq_band_offset[band]).value_or(0);
    }
  }

  for (int k = 0; k < protocol::kCrossoverCount; ++k) {
    const int offset = layout.xover_offset[k];
    state.crossover[k] = {data.Get16(offset).value_or(0), data.Get(offset + 2).value_or(0)};
  }

  const uint8_t drive = data.Get(layout.speaker_drive).value_or(0);
  for (int n = 0; n < protocol::kOutputCount; ++n) {
    state.speaker_drive[n] = Bit(drive, 2 * n) ? 1 : 0;
  }

  const uint8_t link = data.Get(layout.link_mask).value_or(0);
  state.link_member.fill(0);
  if (layout.family == Family::kA) {
    state.input_link_on = Bit(link, 0) ? 1 : 0;
    for (int ch = layout.first_output; ch < layout.channel_count; ++ch) {
      state.link_member[ch] = Bit(link, ch) ? 1 : 0;
    }
  } else {
    state.input_link_on = 0;
    for (int ch = 0; ch < layout.channel_count; ++ch) state.link_member[ch] = Bit(link, ch) ? 1 : 0;
  }

  state.standby = data.Tail(protocol::kTailStandby).value_or(kResetStandby);
  state.sleep_mode = data.Tail(protocol::kTailSleepMode).value_or(0);
  state.delay_unit = data.Tail(protocol::kTailDelayUnit).value_or(kResetDelayUnit);
  state.noise_type = data.Tail(protocol::kTailNoiseType).value_or(0);
  state.noise_level = data.Tail(protocol::kTailNoiseLevel).value_or(0);
  state.meter_mode = data.Tail(protocol::kTailMeterMode).value_or(kResetMeterMode);
  state.noise_enable =
      layout.family == Family::kB ? data.Tail(protocol::kTailNoiseEnable).value_or(0) : 0;
}

WholeProgram::WholeProgram(comm::Comm& comm, protocol::ProgramStore& store,
                           protocol::Dispatcher& dispatcher, graph::ResponseCurves& graph,
                           ProgramNames& names)
    : comm_(comm), store_(store), dispatcher_(dispatcher), graph_(graph), names_(names) {}

bool WholeProgram::ResetProgram(int slot) {
  protocol::ProgramData* data = store_.Data(slot);
  protocol::SlotState* state = store_.State(slot);
  const auto type = store_.DeviceType(slot);
  if (data == nullptr || state == nullptr || !type) return false;

  data->LoadDefaultImage();
  for (const TailDefault& t : kTailDefaults) data->SetTail(t.index, t.value);
  if (data->family() == Family::kB) protocol::LoadDefaultRouting(*data);

  *state = protocol::SlotState{};
  DeriveSlotState(*data, *state);
  state->ip = protocol::kDefaultSlotIp;

  // An unknown type still gets its record reset; only the name list needs the type.
  const bool names_filled = names_.FillFactory(slot, *type);
  graph_.ReleaseSlot(slot);  // the default program is flat
  store_.NotifyProgramChanged(slot);
  return names_filled;
}

bool WholeProgram::ShowProgram(int slot) {
  protocol::ProgramData* data = store_.Data(slot);
  protocol::SlotState* state = store_.State(slot);
  if (data == nullptr || state == nullptr) return false;
  comm::TransferLock lock(comm_);
  DeriveSlotState(*data, *state);
  graph_.RecomputeAll(slot);
  RerunDeviceSettings(dispatcher_.For(slot), *data, *state, slot);
  store_.NotifyProgramChanged(slot);
  return true;
}

EditResult WholeProgram::ShowChannelPage(int slot, int channel, PageSend mode) {
  const protocol::ProgramData* data = store_.Data(slot);
  const protocol::SlotState* state = store_.State(slot);
  if (data == nullptr || state == nullptr || !data->layout().IsChannel(channel)) {
    return EditResult::kRefused;
  }
  std::optional<comm::TransferLock> lock;
  if (mode == PageSend::kSilent) lock.emplace(comm_);

  const Layout& layout = data->layout();
  protocol::FamilyOperations& ops = dispatcher_.For(slot);
  EditResult outcome = EditResult::kDone;
  // A lost reply ends the page; a value the operation refuses (a damaged image) is skipped.
  const auto run = [&outcome](EditResult result) {
    if (result == EditResult::kSendFailed) {
      outcome = result;
      return false;
    }
    if (result != EditResult::kDone) outcome = EditResult::kRefused;
    return true;
  };

  const auto send_page = [&]() {
    const bool bypassed = state->dynamics_bypass[channel];
    if (layout.IsInput(channel)) {
      if (const auto gate = protocol::ReadGate(*data, channel)) {
        if (!run(ops.SendGate(slot, channel, *gate))) return;
      }
      if (const auto comp = protocol::ReadCompressor(*data, channel)) {
        if (!run(ops.SendCompressor(slot, channel, *comp, bypassed))) return;
      }
    } else {
      if (const auto lim = protocol::ReadLimiter(*data, channel)) {
        if (!run(ops.SendLimiter(slot, channel, *lim, bypassed))) return;
      }
      for (int filter : {protocol::kFilterHighPass, protocol::kFilterLowPass}) {
        if (const auto x = protocol::ReadCrossover(*data, channel, filter)) {
          if (!run(ops.SendCrossover(slot, channel, filter, x->frequency, x->slope))) return;
        }
      }
      const int output = channel - layout.first_output;
      if (layout.family == Family::kA) {
        const uint8_t source = data->Get(layout.route_offset[output]).value_or(0);
        if (!run(ops.SendOutputSource(slot, channel, source))) return;
      } else if (const auto send = protocol::ReadMixerSend(*data, channel, 0)) {
        // One mixer command carries all four sends of the output.
        if (!run(ops.SendOutputMixer(slot, channel, 0, protocol::SendEnabled(*send),
                                     protocol::SendLevel(*send)))) {
          return;
        }
      }
    }
    for (int k = 0; k < layout.BandCount(channel); ++k) {
      const auto band = protocol::ReadEqBand(*data, channel, k);
      if (!band) continue;
      const bool band_bypassed = state->band_bypass[layout.first_band[channel] + k];
      if (!run(ops.SendEqBand(slot, channel, k, *band, band_bypassed))) return;
    }
  };
  send_page();

  graph_.RecomputeChannelBands(slot, channel);
  if (layout.IsOutput(channel)) graph_.RecomputeChannelXovers(slot, channel);
  store_.NotifyChannelChanged(slot, channel);
  return outcome;
}

bool WholeProgram::DisplayWholeImage(int slot, std::optional<int> page_channel) {
  if (store_.Data(slot) == nullptr) return false;
  comm::TransferLock lock(comm_);
  if (!ShowProgram(slot)) return false;
  if (page_channel) ShowChannelPage(slot, *page_channel, PageSend::kSilent);
  return true;
}

WriteResult WholeProgram::WriteImage(int slot, std::optional<int> page_channel,
                                     const ProgressFn& progress,
                                     const std::function<bool()>& cancelled) {
  WriteResult result;
  const protocol::ProgramData* data = store_.Data(slot);
  if (data == nullptr) return result;
  const std::span<const uint8_t> image = data->Image();
  const int size = static_cast<int>(image.size());
  const int blocks = (size + kImageBlockBytes - 1) / kImageBlockBytes;
  const int total = blocks + 1;
  for (int offset = 0; offset < size; offset += kImageBlockBytes) {
    if (cancelled && cancelled()) {
      result.status = WriteStatus::kCancelled;
      return result;
    }
    const int count = std::min(kImageBlockBytes, size - offset);
    // The last block is padded with zeros to the full block length.
    std::array<uint8_t, kImageBlockBytes> block{};
    std::copy_n(image.begin() + offset, count, block.begin());
    const comm::ExchangeResult sent = comm_.Exchange(
        slot, device::kCmdWriteBlock, comm::AddressParams(offset, kImageBlockBytes), block);
    if (!sent.answered() && !sent.held()) {
      result.status = WriteStatus::kSendFailed;
      return result;
    }
    ++result.blocks_sent;
    if (progress) progress(result.blocks_sent, total);
  }
  const comm::ExchangeResult committed = comm_.Exchange(slot, device::kCmdEndOfBlocks);
  if (!committed.answered() && !committed.held()) {
    result.status = WriteStatus::kSendFailed;
    return result;
  }
  if (progress) progress(total, total);
  DisplayWholeImage(slot, page_channel);
  result.status = WriteStatus::kDone;
  return result;
}

}  // namespace tessaly::programs
