#include "protocol/ChannelLinking.h"

#include "protocol/CommonOperations.h"

namespace tessaly::protocol {
namespace {

LinkOutcome Refused() { return {EditResult::kRefused, {}}; }

bool IsMember(const SlotState& state, int ch) {
  return state.link_member[static_cast<size_t>(ch)] != 0;
}

}  // namespace

std::vector<int> LinkFollowers(Family family, const SlotState& state, int ch) {
  const Layout& layout = LayoutOf(family);
  std::vector<int> followers;
  if (!layout.IsChannel(ch)) {
    return followers;
  }
  const bool input = layout.IsInput(ch);
  // One flag links both family A inputs; nothing else needs to be ticked for them.
  if (family == Family::kA && input) {
    if (state.input_link_on != 0) {
      followers.push_back(ch == 0 ? 1 : 0);
    }
    return followers;
  }
  if (!IsMember(state, ch)) {
    return followers;
  }
  const int first = input ? 0 : layout.first_output;
  const int end = input ? layout.input_count : layout.channel_count;
  for (int d = first; d < end; ++d) {
    if (d != ch && IsMember(state, d)) {
      followers.push_back(d);
    }
  }
  return followers;
}

void RestoreLinkFlags(Family family, uint8_t link_byte, SlotState& state) {
  const Layout& layout = LayoutOf(family);
  state.link_member.fill(0);
  state.input_link_on = 0;
  if (family == Family::kA) {
    state.input_link_on = link_byte & 1;
  }
  const int first = family == Family::kA ? layout.first_output : 0;
  for (int c = first; c < layout.channel_count; ++c) {
    state.link_member[static_cast<size_t>(c)] = (link_byte >> c) & 1;
  }
}

LinkOutcome ChannelLinking::FanOut(int slot, int ch, Group group, const Copy& copy) {
  const ProgramData* data = store_.Data(slot);
  const SlotState* state = store_.State(slot);
  if (data == nullptr || state == nullptr) {
    return Refused();
  }
  const Layout& layout = data->layout();
  const bool allowed = group == Group::kBoth     ? layout.IsChannel(ch)
                       : group == Group::kInputs ? layout.IsInput(ch)
                                                 : layout.IsOutput(ch);
  if (!allowed) {
    return Refused();
  }

  LinkOutcome outcome;
  outcome.followers = LinkFollowers(layout.family, *state, ch);
  FamilyOperations& ops = dispatcher_.For(slot);
  for (int d : outcome.followers) {
    // A lost follower does not stop the others.
    const EditResult result = copy(ops, d);
    if (result != EditResult::kDone && outcome.result == EditResult::kDone) {
      outcome.result = result;
    }
  }
  return outcome;
}

LinkOutcome ChannelLinking::LinkGate(int slot, int ch) {
  const ProgramData* data = store_.Data(slot);
  const auto gate = data ? ReadGate(*data, ch) : std::nullopt;
  if (!gate) {
    return Refused();
  }
  return FanOut(slot, ch, Group::kInputs,
                [&](FamilyOperations& ops, int d) { return ops.SendGate(slot, d, *gate); });
}

LinkOutcome ChannelLinking::LinkCompressor(int slot, int ch) {
  const ProgramData* data = store_.Data(slot);
  const SlotState* state = store_.State(slot);
  const auto values = data ? ReadCompressor(*data, ch) : std::nullopt;
  if (!values || state == nullptr) {
    return Refused();
  }
  const bool bypassed = state->dynamics_bypass[static_cast<size_t>(ch)];
  return FanOut(slot, ch, Group::kInputs, [&](FamilyOperations& ops, int d) {
    return ops.SendCompressor(slot, d, *values, bypassed);
  });
}

LinkOutcome ChannelLinking::LinkLimiter(int slot, int ch) {
  const ProgramData* data = store_.Data(slot);
  const SlotState* state = store_.State(slot);
  const auto values = data ? ReadLimiter(*data, ch) : std::nullopt;
  if (!values || state == nullptr) {
    return Refused();
  }
  const bool bypassed = state->dynamics_bypass[static_cast<size_t>(ch)];
  return FanOut(slot, ch, Group::kOutputs, [&](FamilyOperations& ops, int d) {
    return ops.SendLimiter(slot, d, *values, bypassed);
  });
}

LinkOutcome ChannelLinking::LinkCrossover(int slot, int ch, int filter) {
  const ProgramData* data = store_.Data(slot);
  const auto values = data ? ReadCrossover(*data, ch, filter) : std::nullopt;
  if (!values) {
    return Refused();
  }
  return FanOut(slot, ch, Group::kOutputs, [&](FamilyOperations& ops, int d) {
    return ops.SendCrossover(slot, d, filter, values->frequency, values->slope);
  });
}

LinkOutcome ChannelLinking::LinkDelay(int slot, int ch) {
  const ProgramData* data = store_.Data(slot);
  const auto delay = data ? ReadDelay(*data, ch) : std::nullopt;
  if (!delay) {
    return Refused();
  }
  return FanOut(slot, ch, Group::kBoth, [&](FamilyOperations& ops, int d) {
    return ops.SendDelay(slot, d, delay->milliseconds, delay->samples);
  });
}

LinkOutcome ChannelLinking::LinkGain(int slot, int ch) {
  const ProgramData* data = store_.Data(slot);
  if (data == nullptr || !data->layout().IsChannel(ch)) {
    return Refused();
  }
  const auto gain = data->Get(data->layout().gain_offset[ch]);
  if (!gain) {
    return Refused();
  }
  return FanOut(slot, ch, Group::kBoth,
                [&](FamilyOperations& ops, int d) { return ops.SendGain(slot, d, *gain); });
}

LinkOutcome ChannelLinking::LinkPolarity(int slot, int ch) {
  const SlotState* state = store_.State(slot);
  if (state == nullptr || ch < 0 || ch >= kMaxChannels) {
    return Refused();
  }
  const bool inverted = state->polarity[static_cast<size_t>(ch)];
  return FanOut(slot, ch, Group::kBoth,
                [&](FamilyOperations& ops, int d) { return ops.SendPolarity(slot, d, inverted); });
}

LinkOutcome ChannelLinking::LinkMute(int slot, int ch) {
  const SlotState* state = store_.State(slot);
  if (state == nullptr || ch < 0 || ch >= kMaxChannels) {
    return Refused();
  }
  const bool muted = state->mute[static_cast<size_t>(ch)];
  return FanOut(slot, ch, Group::kBoth,
                [&](FamilyOperations& ops, int d) { return ops.SendMute(slot, d, muted); });
}

LinkOutcome ChannelLinking::LinkEqBand(int slot, int ch, int band) {
  const ProgramData* data = store_.Data(slot);
  const SlotState* state = store_.State(slot);
  const auto values = data ? ReadEqBand(*data, ch, band) : std::nullopt;
  if (!values || state == nullptr) {
    return Refused();
  }
  const Layout& layout = data->layout();
  // The follower keeps its own band bypass flag: only the band's settings are shared.
  return FanOut(slot, ch, Group::kBoth, [&](FamilyOperations& ops, int d) {
    const auto global = layout.GlobalBand(d, band);
    if (!global) {
      return EditResult::kRefused;
    }
    return ops.SendEqBand(slot, d, band, *values, state->band_bypass[static_cast<size_t>(*global)]);
  });
}

LinkOutcome ChannelLinking::LinkEqSwitch(int slot, int ch) {
  const SlotState* state = store_.State(slot);
  if (state == nullptr || ch < 0 || ch >= kMaxChannels) {
    return Refused();
  }
  const bool bypassed = state->eq_bypass[static_cast<size_t>(ch)];
  return FanOut(slot, ch, Group::kBoth,
                [&](FamilyOperations& ops, int d) { return ops.SendEqSwitch(slot, d, bypassed); });
}

LinkOutcome ChannelLinking::LinkFlatEq(int slot, int ch) {
  const ProgramData* data = store_.Data(slot);
  const SlotState* state = store_.State(slot);
  if (data == nullptr || state == nullptr || !data->layout().IsChannel(ch)) {
    return Refused();
  }
  const Layout& layout = data->layout();
  std::vector<EqBandValues> bands;
  for (int k = 0; k < layout.BandCount(ch); ++k) {
    const auto values = ReadEqBand(*data, ch, k);
    if (!values) {
      return Refused();
    }
    bands.push_back(*values);
  }
  return FanOut(slot, ch, Group::kBoth, [&](FamilyOperations& ops, int d) {
    EditResult worst = EditResult::kDone;
    for (int k = 0; k < static_cast<int>(bands.size()); ++k) {
      const auto global = layout.GlobalBand(d, k);
      if (!global) {
        return EditResult::kRefused;
      }
      const EditResult result = ops.SendEqBand(slot, d, k, bands[static_cast<size_t>(k)],
                                               state->band_bypass[static_cast<size_t>(*global)]);
      if (worst == EditResult::kDone) {
        worst = result;
      }
    }
    return worst;
  });
}

LinkOutcome ChannelLinking::LinkSpeakerDrive(int slot, int ch) {
  const ProgramData* data = store_.Data(slot);
  const SlotState* state = store_.State(slot);
  if (data == nullptr || state == nullptr || !data->layout().IsOutput(ch)) {
    return Refused();
  }
  const int first = data->layout().first_output;
  const int drive = state->speaker_drive[static_cast<size_t>(ch - first)];
  return FanOut(slot, ch, Group::kOutputs, [&](FamilyOperations& ops, int d) {
    return ops.SendSpeakerDrive(slot, d - first, drive);
  });
}

}  // namespace tessaly::protocol
