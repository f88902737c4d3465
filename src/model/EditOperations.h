#pragma once

#include <optional>

#include "protocol/ChannelLinking.h"
#include "protocol/Dispatch.h"
#include "protocol/ProgramStore.h"

namespace tessaly::model {

// Everything one operation needs about its slot and target.
struct OpContext {
  protocol::ProgramStore& store;
  protocol::FamilyOperations& ops;
  protocol::ChannelLinking& linking;
  int slot = 0;
  int type = 0;
  const protocol::Layout& layout;
  int ch = -1;
  int element = -1;

  protocol::ProgramData& data() const { return *store.Data(slot); }
  protocol::SlotState& state() const { return *store.State(slot); }
};

// Which curves an edit moves.
enum class CurveEffect { kNone, kBand, kChannelBands, kHighPass, kLowPass };

// How a parameter is read from the record and slot state, written and sent, and linked.
struct Operation {
  // The index as stored now; nullopt when the target has no such value.
  std::optional<int> (*read)(const OpContext&) = nullptr;
  // Writes and sends `index`; `fresh` marks a user's edit (a new band type resets the gain),
  // false a resend of what the record already holds.
  protocol::EditResult (*write)(const OpContext&, int index, bool fresh) = nullptr;
  protocol::LinkOutcome (*link)(const OpContext&) = nullptr;  // nullptr: never linked
  CurveEffect curves = CurveEffect::kNone;
  // Puts `index` into the record without sending, for a field that goes out together with the
  // next one written (a band's frequency and gain from one marker drag); nullptr when the
  // parameter travels alone.
  protocol::EditResult (*stage)(const OpContext&, int index, bool fresh) = nullptr;
};

}  // namespace tessaly::model
