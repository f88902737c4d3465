#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "comm/Comm.h"
#include "device/Messenger.h"
#include "graph/ResponseCurves.h"
#include "model/EditPath.h"
#include "protocol/Dispatch.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "sim/SimHost.h"

namespace tessaly::bench {

// A benchmark has no one to answer a box; it shows what would have been asked and goes on.
class SilentMessenger : public device::Messenger {
 public:
  device::MessageAnswer Show(const device::Message& message) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
    return device::MessageAnswer::kOk;
  }
};

// The sample at `fraction` of the sorted samples (0.5 median, 0.99 p99), nearest rank.
inline double Percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) return 0.0;
  std::sort(samples.begin(), samples.end());
  const auto at = static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
  return samples[std::min(at, samples.size() - 1)];
}

// One emulated device of `type` on loop-back TCP, connected on `slot`, with the whole edit path
// above it, as the editor has it.
struct EditRig {
  EditRig(int type, const QString& address, int slot) {
    sim::SimDeviceConfig config;
    config.type = type;
    config.link = sim::SimLinkKind::kTcp;
    config.address = address;
    config.port = 0;
    const int index = host.Start(config);
    auto& state = comm.state();
    comm.OpenTraffic();
    state.connection_mode = comm::kLinkTcp;
    state.table.device_type[slot] = static_cast<int16_t>(type);
    comm.table().Register(slot, {state.connection_mode, host.address(index), 0, 0, {}});
    comm.tcp().Initialise(comm::kSlotCount);
    comm.tcp().Connect(slot, host.address(index), host.port(index), 2000);
    curves.RecomputeAll(slot);
  }

  sim::SimHost host;
  SilentMessenger messenger;
  comm::Comm comm{messenger};
  protocol::ProgramStore store{comm};
  protocol::FamilyAOperations family_a{store};
  protocol::FamilyBOperations family_b{store};
  protocol::Dispatcher dispatcher{store, family_a, family_b};
  graph::ResponseCurves curves{store};
  model::EditPath path{store, curves, dispatcher};
};

}  // namespace tessaly::bench
