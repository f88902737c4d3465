// Project save and store of a 540S (56 programs of 16 blocks) against the emulator, over loopback
// TCP and over a wire-paced pseudo-terminal at 57600 baud. TCP runs are set beside exchanges x one
// bare round trip measured in the same run; pseudo-terminal runs beside the time their bytes take
// on a 57600 baud wire (10 bits a byte).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "comm/Comm.h"
#include "graph/ResponseCurves.h"
#include "programs/ProgramMemory.h"
#include "programs/ProgramNames.h"
#include "programs/WholeProgram.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "sim/SimHost.h"

namespace {

using tessaly::bench::SilentMessenger;

using namespace tessaly;

constexpr int kType = 3;
constexpr int kPrograms = 56;
constexpr int kBlocks = 16;
constexpr double kWireBitsPerByte = 10.0;
constexpr double kBaud = 57600.0;

struct Rig {
  SilentMessenger messenger;
  comm::Comm comm{messenger};
  protocol::ProgramStore store{comm};
  protocol::FamilyAOperations family_a{store};
  protocol::FamilyBOperations family_b{store};
  protocol::Dispatcher dispatcher{store, family_a, family_b};
  graph::ResponseCurves curves{store};
  programs::ProgramNames names;
  programs::WholeProgram whole{comm, store, dispatcher, curves, names};
  programs::ProgramMemory memory{comm, store, whole, names};
  programs::ProjectBuffer project;
  int slot = 0;
  long long wire_bytes = 0;

  Rig(sim::SimHost& host, bool pty, int slot_number, const QString& link) : slot(slot_number) {
    sim::SimDeviceConfig config;
    config.type = kType;
    config.programs = kPrograms;
    config.link = pty ? sim::SimLinkKind::kPty : sim::SimLinkKind::kTcp;
    config.address = QStringLiteral("127.0.0.5");
    config.port = 0;
    config.pty_link = link;
    config.pace_wire = pty;  // every byte takes its 57600-baud wire time, as on a real line
    const int index = host.Start(config);
    comm::CommState& state = comm.state();
    comm.OpenTraffic();
    state.connection_mode = pty ? comm::kLinkUsb : comm::kLinkTcp;
    comm::DeviceTable::Found found;
    found.link_kind = state.connection_mode;
    found.ip_address = host.address(index);
    found.device_type = kType;
    comm.table().Register(slot, found);
    if (pty) {
      state.com_port = 3;
      comm.com_ports().Map(3, host.pty_path(index));
    } else {
      comm.tcp().Initialise(comm::kSlotCount);
      comm.tcp().Connect(slot, host.address(index), host.port(index), 2000);
    }
    for (int p = 0; p < kPrograms; ++p) names.At(slot)->program_status[static_cast<size_t>(p)] = p;
    comm.set_trace([this](bool, const QByteArray& bytes) { wire_bytes += bytes.size(); });
    memory.ReadAll(slot, project, {});
  }
};

std::unique_ptr<Rig> tcp;
std::unique_ptr<Rig> pty;
std::map<std::string, double> wire_ms;  // per pty benchmark: bytes x 10 bits / 57600

void Run(benchmark::State& state, Rig& rig, bool store, bool verify, const char* name) {
  rig.wire_bytes = 0;
  long long runs = 0;
  for (auto _ : state) {
    const programs::TransferResult result = store ? rig.memory.WriteAll(rig.slot, rig.project, {})
                                                  : rig.memory.ReadAll(rig.slot, rig.project, {});
    bool ok = result.status == programs::TransferStatus::kDone;
    if (ok && verify) {
      ok = rig.memory.Verify(rig.slot, rig.project, {}).status == programs::TransferStatus::kDone;
    }
    if (!ok) state.SkipWithError("transfer failed");
    ++runs;
  }
  if (runs > 0) {
    wire_ms[name] = static_cast<double>(rig.wire_bytes) / static_cast<double>(runs) *
                    kWireBitsPerByte / kBaud * 1000.0;
  }
}

// One bare exchange of the kind a transfer repeats: a 32-byte read (95) or write (94).
void Bare(benchmark::State& state, uint8_t command) {
  const int address = programs::ProgramAddress(kType, 3, 0);
  const auto image = tcp->project[3];
  const auto data =
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(image.constData()), 32);
  for (auto _ : state) {
    if (!tcp->comm.Exchange(tcp->slot, command, comm::AddressParams(address, 32), data)
             .answered()) {
      state.SkipWithError("lost");
    }
  }
}
void BM_BareRead(benchmark::State& s) { Bare(s, 95); }
void BM_BareWrite(benchmark::State& s) { Bare(s, 94); }
void BM_TcpProjectSave(benchmark::State& s) { Run(s, *tcp, false, false, "BM_TcpProjectSave"); }
void BM_TcpProjectStore(benchmark::State& s) { Run(s, *tcp, true, false, "BM_TcpProjectStore"); }
void BM_TcpProjectStoreVerify(benchmark::State& s) {
  Run(s, *tcp, true, true, "BM_TcpProjectStoreVerify");
}
void BM_PtyProjectSave(benchmark::State& s) { Run(s, *pty, false, false, "BM_PtyProjectSave"); }
void BM_PtyProjectStore(benchmark::State& s) { Run(s, *pty, true, false, "BM_PtyProjectStore"); }

BENCHMARK(BM_BareRead)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_BareWrite)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_TcpProjectSave)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_TcpProjectStore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_TcpProjectStoreVerify)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_PtyProjectSave)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_PtyProjectStore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      times[name.substr(0, name.find('/'))] =
          run.GetAdjustedRealTime() *
          (run.time_unit == benchmark::kMillisecond ? 1000.0 : 1.0);  // in microseconds
    }
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  sim::SimHost host;
  QTemporaryDir links;
  tcp = std::make_unique<Rig>(host, false, 0, QString());
  pty = std::make_unique<Rig>(host, true, 1, links.filePath(QStringLiteral("COM3")));
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double read = reporter.times["BM_BareRead"];
  const double write = reporter.times["BM_BareWrite"];
  const int n = kPrograms * kBlocks;
  // What the exchanges alone cost: n reads, n writes, n writes and n reads.
  const std::map<std::string, double> floor = {{"BM_TcpProjectSave", n * read},
                                               {"BM_TcpProjectStore", n * write},
                                               {"BM_TcpProjectStoreVerify", n * (read + write)}};
  for (const auto& [name, bare] : floor) {
    if (reporter.times.count(name) == 0 || bare <= 0) continue;
    std::printf("%-26s %8.1f ms  exchanges x bare round trip %8.1f ms  ratio %.2f\n", name.c_str(),
                reporter.times[name] / 1000.0, bare / 1000.0, reporter.times[name] / bare);
  }
  for (const char* name : {"BM_PtyProjectSave", "BM_PtyProjectStore"}) {
    if (reporter.times.count(name) == 0 || wire_ms.count(name) == 0) continue;
    const double ms = reporter.times[name] / 1000.0;
    std::printf("%-26s %9.1f ms  wire time at 57600 baud %9.1f ms  wire use %.0f %%\n", name, ms,
                wire_ms[name], 100.0 * wire_ms[name] / ms);
  }
  tcp.reset();
  pty.reset();
  return 0;
}
