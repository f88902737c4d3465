#include "protocol/FlatEq.h"

#include "protocol/CommonOperations.h"

namespace tessaly::protocol {

EditResult FlattenEq(FamilyOperations& ops, const ProgramStore& store, int slot, int ch) {
  const ProgramData* data = store.Data(slot);
  const SlotState* state = store.State(slot);
  if (data == nullptr || state == nullptr || !data->layout().IsChannel(ch)) {
    return EditResult::kRefused;
  }
  const Layout& layout = data->layout();
  for (int band = 0; band < layout.BandCount(ch); ++band) {
    auto values = ReadEqBand(*data, ch, band);
    const auto global = layout.GlobalBand(ch, band);
    if (!values || !global) return EditResult::kRefused;
    values->gain = kFlatBandGain;
    const EditResult result =
        ops.SendEqBand(slot, ch, band, *values, state->band_bypass[static_cast<size_t>(*global)]);
    if (result != EditResult::kDone) return result;
  }
  return EditResult::kDone;
}

}  // namespace tessaly::protocol
