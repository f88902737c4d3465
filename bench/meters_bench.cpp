// The live meters of the editor, on the offscreen platform against emulated devices over loopback
// TCP. One tick without its exchange (decode and repaint of a family B editor whose levels all
// change) beside a full repaint of the same page in the same run; and a knob step's latency with
// eight editors open and the current one polling every 80 ms, beside the same steps with every
// poll stopped.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/DeviceReadout.h"
#include "editor/EditorManager.h"
#include "editor/EditorMeters.h"
#include "editor/EditorWindow.h"
#include "editor/ParameterColumn.h"
#include "protocol/MeterReading.h"
#include "sim/SimHost.h"
#include "widgets/Knob.h"

namespace {

using tessaly::bench::SilentMessenger;

using namespace tessaly;

constexpr int kEditors = 8;
constexpr int kSteps = 300;

// Eight read-out devices, alternately 540S and RK-540, with their editors open; the last is
// current.
struct Rig {
  sim::SimHost host;
  SilentMessenger messenger;
  comm::Comm comm{messenger};
  connect::ConnectRuntime runtime{comm};
  QMainWindow frame;
  QMdiArea* area = new QMdiArea;
  int16_t editor_count = -1;
  std::unique_ptr<editor::EditorManager> editors;
  std::vector<int> devices;

  bool Start() {
    frame.setCentralWidget(area);
    frame.resize(1366, 768);
    frame.show();
    comm::CommState& cs = comm.state();
    cs.connection_mode = comm::kLinkTcp;
    comm.OpenTraffic();
    if (comm.tcp().Initialise(comm::kSlotCount) != 0) return false;
    for (int slot = 0; slot < kEditors; ++slot) {
      const int type = slot % 2 == 0 ? 3 : 0;
      sim::SimDeviceConfig config;
      config.type = type;
      config.address = QStringLiteral("127.0.0.%1").arg(60 + slot);
      config.port = 0;
      const int index = host.Start(config);
      if (index < 0) return false;
      devices.push_back(index);
      if (comm.tcp().Connect(slot, host.address(index), host.port(index), 2000) != 0) return false;
      cs.table.Register(slot, {comm::kLinkTcp, host.address(index), static_cast<int16_t>(slot),
                               static_cast<int16_t>(type), QString()});
      if (connect::ReadDevice(runtime.context, slot, {}).stopped_at !=
          connect::ReadoutStep::kDone) {
        return false;
      }
      cs.table.device_needs_read[slot] = false;
    }
    comm.EnterOnlineMode();
    editors = std::make_unique<editor::EditorManager>(runtime, area, editor_count, false);
    for (int slot = 0; slot < kEditors; ++slot) {
      if (editors->Open(slot) == nullptr) return false;
    }
    return true;
  }
  editor::EditorWindow& Current() { return *editors->EditorOf(kEditors - 2); }
};

Rig* rig = nullptr;

// A family B reply whose every level differs from `other`'s, so every bar changes.
std::vector<uint8_t> Reply(uint8_t level) {
  std::vector<uint8_t> reply = protocol::DemoMeterReply(3);
  for (int k = 0; k < 21; ++k) reply[static_cast<size_t>(4 + k)] = level;
  reply[25] = level > 100 ? 0x7F : 0;
  return reply;
}

void ActivateFamilyB() {
  rig->area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(rig->Current().parentWidget()));
  QApplication::processEvents();
}

void BM_TickDecodeAndRepaint(benchmark::State& state) {
  ActivateFamilyB();
  auto& meters = *rig->Current().findChild<editor::EditorMeters*>();
  rig->Current().poll_timer()->stop();  // no tick of its own while measured
  const std::array<std::vector<uint8_t>, 2> replies = {Reply(30), Reply(127)};
  size_t n = 0;
  for (auto _ : state) {
    meters.poll().Show(replies[n++ % 2]);
    QApplication::processEvents();  // paints what changed
  }
}

void BM_FullPageRepaint(benchmark::State& state) {
  ActivateFamilyB();
  for (auto _ : state) rig->Current().repaint();
}

// Latency of one knob key step (press and release posted as a user's would be) until the edit is
// at the device, at random moments against the polls.
void KnobSteps(benchmark::State& state, bool polling) {
  ActivateFamilyB();
  for (int slot = 0; slot < kEditors; ++slot) {
    QTimer* timer = rig->editors->EditorOf(slot)->poll_timer();
    if (polling) {
      timer->start();
    } else {
      timer->stop();
    }
  }
  widgets::Knob* knob = rig->Current().findChild<editor::ParameterColumn*>()->knob();
  knob->setFocus();
  sim::SimDevice& device = *rig->host.device(rig->devices[kEditors - 2]);
  std::vector<double> latencies;
  uint32_t pause = 12345;
  for (auto _ : state) {
    for (int step = 0; step < kSteps; ++step) {
      pause = pause * 1103515245 + 12345;
      QElapsedTimer idle;
      idle.start();
      while (idle.elapsed() < static_cast<int>(pause % 80)) QApplication::processEvents();
      const int heard = device.ReceivedCount();
      const auto key = step % 2 == 0 ? Qt::Key_Up : Qt::Key_Down;
      QElapsedTimer clock;
      clock.start();
      QApplication::postEvent(knob, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
      QApplication::postEvent(knob, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
      int gain_packets = 0;
      while (gain_packets == 0) {
        QApplication::processEvents();
        for (const uint8_t command : device.ReceivedCommands().mid(heard)) {
          gain_packets += command != 57 ? 1 : 0;
        }
      }
      latencies.push_back(clock.nsecsElapsed() / 1e6);
    }
  }
  state.counters["p50_ms"] = tessaly::bench::Percentile(latencies, 0.5);
  state.counters["p99_ms"] = tessaly::bench::Percentile(latencies, 0.99);
}

void BM_KnobStepWhilePolling(benchmark::State& state) { KnobSteps(state, true); }
void BM_KnobStepWithoutPoll(benchmark::State& state) { KnobSteps(state, false); }

BENCHMARK(BM_TickDecodeAndRepaint)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_FullPageRepaint)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_KnobStepWithoutPoll)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_KnobStepWhilePolling)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      const std::string base = name.substr(0, name.find('/'));
      if (run.aggregate_name == "median") times[base] = run.GetAdjustedRealTime();
      for (const auto& [counter, value] : run.counters) counters[base + "." + counter] = value;
    }
  }
  std::map<std::string, double> times;
  std::map<std::string, double> counters;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Rig shared;
  if (!shared.Start()) {
    std::fprintf(stderr, "meters_bench: the editors could not be opened\n");
    return 1;
  }
  rig = &shared;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  if (t.count("BM_TickDecodeAndRepaint") && t.count("BM_FullPageRepaint")) {
    std::printf(
        "tick without exchange %8.1f us (median, target <= 1000)   full page repaint "
        "%8.1f us   ratio %.2f\n",
        t["BM_TickDecodeAndRepaint"], t["BM_FullPageRepaint"],
        t["BM_TickDecodeAndRepaint"] / t["BM_FullPageRepaint"]);
  }
  auto& c = reporter.counters;
  if (c.count("BM_KnobStepWhilePolling.p99_ms") && c.count("BM_KnobStepWithoutPoll.p99_ms")) {
    std::printf(
        "knob step p99 %6.2f ms while polling (target <= 16)   %6.2f ms without   ratio "
        "%.2f\n",
        c["BM_KnobStepWhilePolling.p99_ms"], c["BM_KnobStepWithoutPoll.p99_ms"],
        c["BM_KnobStepWhilePolling.p99_ms"] / c["BM_KnobStepWithoutPoll.p99_ms"]);
  }
  return 0;
}
