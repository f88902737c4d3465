#include "programs/ChannelCopy.h"

#include "comm/Comm.h"
#include "device/Commands.h"
#include "graph/ResponseCurves.h"
#include "programs/WholeProgram.h"
#include "protocol/ProgramStore.h"

namespace tessaly::programs {
namespace {

constexpr int kMaskBytes = 2;

void CopyBytes(protocol::ProgramData& data, int from, int to, int count) {
  data.Write(to, data.Read(from, count));
}

}  // namespace

CopyCaptions CopyCaptionsOf(CopyMode mode, bool family_b) {
  if (mode == CopyMode::kOutput) {
    return {{QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Sub")},
            QStringLiteral("Output Sorce"),
            QStringLiteral("Output Destination"),
            QStringLiteral("Output Copy")};
  }
  QStringList items = family_b ? QStringList{QStringLiteral("In 1 L"), QStringLiteral("In 1 R"),
                                             QStringLiteral("In 2 L"), QStringLiteral("In 2 R")}
                               : QStringList{QStringLiteral("Input L"), QStringLiteral("Input R")};
  return {items, QStringLiteral("Input Sorce"), QStringLiteral("Input Destination"),
          QStringLiteral("Input Copy")};
}

int CopyChannel(CopyMode mode, bool family_b, int item) {
  if (mode == CopyMode::kInput) return item;
  return item + (family_b ? protocol::family_b::kFirstOutput : protocol::family_a::kFirstOutput);
}

ChannelCopier::ChannelCopier(comm::Comm& comm, protocol::ProgramStore& store,
                             graph::ResponseCurves& curves, WholeProgram& whole)
    : comm_(comm), store_(store), curves_(curves), whole_(whole) {}

protocol::EditResult ChannelCopier::Copy(int slot, CopyMode mode, int source_item,
                                         int destination_item, std::optional<int> page_channel) {
  protocol::ProgramData* data = store_.Data(slot);
  protocol::SlotState* state = store_.State(slot);
  if (data == nullptr || state == nullptr || source_item == destination_item) {
    return protocol::EditResult::kRefused;
  }
  const protocol::Layout& layout = data->layout();
  const bool family_b = layout.family == protocol::Family::kB;
  const int count = static_cast<int>(CopyCaptionsOf(mode, family_b).items.size());
  if (source_item < 0 || source_item >= count || destination_item < 0 ||
      destination_item >= count) {
    return protocol::EditResult::kRefused;
  }
  const int src = CopyChannel(mode, family_b, source_item);
  const int dst = CopyChannel(mode, family_b, destination_item);
  {
    comm::TransferLock lock(comm_);
    if (mode == CopyMode::kInput) {
      CopyBytes(*data, layout.gate_offset[src], layout.gate_offset[dst], protocol::kGateBytes);
      CopyBytes(*data, layout.comp_offset[src], layout.comp_offset[dst],
                protocol::kCompressorBytes);
    } else {
      CopyBytes(*data, layout.dyn_offset[src], layout.dyn_offset[dst], protocol::kLimiterBytes);
      for (int filter : {protocol::kFilterHighPass, protocol::kFilterLowPass}) {
        const int from = *layout.CrossoverIndex(src, filter);
        const int to = *layout.CrossoverIndex(dst, filter);
        CopyBytes(*data, layout.xover_offset[from], layout.xover_offset[to],
                  protocol::kCrossoverBytes);
        state->crossover[to] = state->crossover[from];
      }
    }
    for (int k = 0; k < layout.BandCount(src); ++k) {
      const int from = layout.first_band[src] + k;
      const int to = layout.first_band[dst] + k;
      CopyBytes(*data, layout.eq_band_offset[from], layout.eq_band_offset[to],
                protocol::kBandBytes);
      state->band_type[to] = state->band_type[from];
      state->band_bypass[to] = state->band_bypass[from];
    }
    CopyBytes(*data, layout.eq_bypass_offset[src], layout.eq_bypass_offset[dst], kMaskBytes);
    curves_.RecomputeChannelBands(slot, dst);
    if (mode == CopyMode::kOutput) curves_.RecomputeChannelXovers(slot, dst);
  }
  store_.NotifyChannelChanged(slot, dst);
  // The page on show gets the copied values again, now that the lock is off.
  if (page_channel == dst) whole_.ShowChannelPage(slot, dst, PageSend::kResend);
  device::Params p{};
  p[6] = static_cast<uint8_t>(src);
  p[7] = static_cast<uint8_t>(dst);
  return store_.Transmit(slot, device::kCmdChannelCopy, p) == 0 ? protocol::EditResult::kDone
                                                                : protocol::EditResult::kSendFailed;
}

}  // namespace tessaly::programs
