// One parameter edit through the edit path (parse, snap, record, send, link, curves, undo)
// against the emulator over loopback TCP, beside a bare Exchange of the same packet in the same
// run; an EQ gain edit, which also recomputes a band curve, beside them.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "comm/Comm.h"
#include "graph/ResponseCurves.h"
#include "model/EditPath.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "sim/SimHost.h"

namespace {

using namespace tessaly;

constexpr int kSlot = 0;
constexpr int kLeft = 2;

struct Rig : bench::EditRig {
  Rig() : EditRig(0, QStringLiteral("127.0.0.4"), kSlot) {}
};

Rig* rig = nullptr;

void BM_BareExchangeGain(benchmark::State& state) {
  for (auto _ : state) {
    if (!rig->comm.Exchange(kSlot, 1, {kLeft, 0, 0, 0, 0, 0, 0, 108}).answered()) {
      state.SkipWithError("lost");
    }
  }
}

void BM_EditPathGain(benchmark::State& state) {
  const model::EditTarget target{kSlot, model::ParamId::kGain, kLeft};
  for (auto _ : state) {
    if (rig->path.SetText(target, u"-6").status != model::EditStatus::kDone) {
      state.SkipWithError("edit");
    }
  }
  rig->path.Undo(kSlot).Clear();
}

void BM_EditPathEqGain(benchmark::State& state) {
  const model::EditTarget target{kSlot, model::ParamId::kEqGain, kLeft, 1};
  for (auto _ : state) {
    if (rig->path.SetText(target, u"+4,5").status != model::EditStatus::kDone) {
      state.SkipWithError("edit");
    }
  }
  rig->path.Undo(kSlot).Clear();
}

BENCHMARK(BM_BareExchangeGain)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_EditPathGain)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_EditPathEqGain)->Unit(benchmark::kMicrosecond)->UseRealTime();

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      // With repetitions the mean stands for the benchmark.
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (single || run.aggregate_name == "mean") {
        times[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime();
      }
    }
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Rig shared;
  rig = &shared;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto bare = reporter.times.find("BM_BareExchangeGain");
  if (bare == reporter.times.end()) return 0;
  for (const char* ours : {"BM_EditPathGain", "BM_EditPathEqGain"}) {
    if (reporter.times.count(ours) == 0) continue;
    std::printf("%-18s %9.1f us   bare Exchange %9.1f us   ratio %.2f (target <= 1.2 for gain)\n",
                ours, reporter.times[ours], bare->second, reporter.times[ours] / bare->second);
  }
  return 0;
}
