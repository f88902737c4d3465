// Cost of the response-curve updates, each printed beside a plain pass over the frequency grid
// measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "comm/Comm.h"
#include "graph/ResponseCurves.h"
#include "protocol/ProgramStore.h"

namespace {

using tessaly::graph::GraphFreq;
using tessaly::graph::kGraphPoints;
using tessaly::graph::ResponseCurves;

constexpr int kSlot = 7;
constexpr const char* kBaseline = "BM_GridMultiplyAddBaseline";

class NullMessenger : public tessaly::device::Messenger {
 public:
  tessaly::device::MessageAnswer Show(const tessaly::device::Message&) override {
    return tessaly::device::MessageAnswer::kOk;
  }
};

// A family B program with every band type and a crossover pair on every output.
struct Rig {
  NullMessenger messenger;
  tessaly::comm::Comm comm{messenger};
  tessaly::protocol::ProgramStore store{comm};
  ResponseCurves graph{store};

  Rig() {
    comm.table().device_type[kSlot] = 3;
    tessaly::protocol::ProgramData& data = *store.Data(kSlot);
    tessaly::protocol::SlotState& state = *store.State(kSlot);
    const auto& layout = data.layout();
    for (int band = 0; band < layout.band_count; ++band) {
      const uint8_t type = static_cast<uint8_t>(band % 6);
      const uint16_t hz = static_cast<uint16_t>(40 + 300 * band);
      const uint8_t bytes[] = {type, static_cast<uint8_t>(hz >> 8), static_cast<uint8_t>(hz & 0xFF),
                               20, 42};
      data.Write(layout.eq_band_offset[band], bytes);
      state.band_type[band] = type;
    }
    for (int filter = 0; filter < tessaly::protocol::kCrossoverCount; ++filter) {
      state.crossover[filter] = {filter % 2 == 0 ? 80 : 12000, 6};
    }
    graph.RecomputeAll(kSlot);
  }
};

void BM_GridMultiplyAddBaseline(benchmark::State& st) {
  const auto& freq = GraphFreq();
  double gain = 1.0001;
  for (auto _ : st) {
    double sum = 0.0;
    for (int p = 0; p < kGraphPoints; ++p) sum += gain * freq[p];
    benchmark::DoNotOptimize(sum);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_GridMultiplyAddBaseline);

// One band edit: a bell band of an input (12-band sum per point).
void BM_BandUpdateBell(benchmark::State& st) {
  Rig rig;
  for (auto _ : st) benchmark::DoNotOptimize(rig.graph.UpdateBandCurve(kSlot, 12));
}
BENCHMARK(BM_BandUpdateBell);

// The dearest band type: the shelf needs a square root and a logarithm per point.
void BM_BandUpdateShelf(benchmark::State& st) {
  Rig rig;
  for (auto _ : st) benchmark::DoNotOptimize(rig.graph.UpdateBandCurve(kSlot, 13));
}
BENCHMARK(BM_BandUpdateShelf);

// One crossover edit: -24 dB/oct Butterworth of an output (HP + LP + 5 bands per point).
void BM_XoverUpdate(benchmark::State& st) {
  Rig rig;
  for (auto _ : st) benchmark::DoNotOptimize(rig.graph.UpdateXoverCurve(kSlot, 0));
}
BENCHMARK(BM_XoverUpdate);

// A whole program arriving: 63 bands, 6 filters and 7 sums.
void BM_WholeDeviceRecompute(benchmark::State& st) {
  Rig rig;
  for (auto _ : st) benchmark::DoNotOptimize(rig.graph.RecomputeAll(kSlot));
}
BENCHMARK(BM_WholeDeviceRecompute);

// Prints each result and, at the end, its ratio to the baseline of this run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration) {
        ns_[run.benchmark_name()] = run.GetAdjustedCPUTime();
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto base = ns_.find(kBaseline);
    if (base == ns_.end() || base->second <= 0.0) return;
    std::printf("\nRatio to %s (%.0f ns):\n", kBaseline, base->second);
    for (const auto& [name, ns] : ns_) {
      std::printf("  %-32s %12.0f ns  x%.1f\n", name.c_str(), ns, ns / base->second);
    }
  }

 private:
  std::map<std::string, double> ns_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
