// The editor window against emulated devices, offscreen:
// - one knob step from the mouse move to the packet heard by the device and the knob, slider and
//   text repainted, beside a bare Exchange of the same packet in the same run (goal: median
//   <= 4 ms, p99 <= 16 ms);
// - a drag on a wire-paced 9600-baud pseudo-terminal: how far the display falls behind the
//   pointer (goal: never more than one 60 Hz frame) and whether the device ends on the knob's
//   value;
// - opening an editor on a read-out device to its first paint, beside a bare MDI window with one
//   label (goal: <= 150 ms);
// - resident memory with 8 editors open.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSlider>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/DeviceReadout.h"
#include "device/DeviceTypes.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "support/SimHarness.h"
#include "widgets/Knob.h"
#include "widgets/Theme.h"

namespace {

using tessaly::bench::Percentile;
using tessaly::bench::SilentMessenger;

using namespace tessaly;
using Clock = QElapsedTimer;

// Counts paint events and stamps the first one after Arm().
class PaintWatch : public QObject {
 public:
  void Watch(QWidget* widget) { widget->installEventFilter(this); }
  void Arm(qint64 since_ns) {
    since_ns_ = since_ns;
    painted_.clear();
  }
  size_t painted() const { return painted_.size(); }
  std::function<void(qint64)> on_paint;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      if (std::find(painted_.begin(), painted_.end(), watched) == painted_.end()) {
        painted_.push_back(watched);
      }
      if (on_paint) on_paint(since_ns_);
    }
    return false;
  }

 private:
  qint64 since_ns_ = 0;
  std::vector<QObject*> painted_;
};

// Devices on loopback or on one paced line, read out as the device list leaves them, with the
// main window's MDI area and editor manager.
struct Rig {
  test::SimHarness sim;
  SilentMessenger messenger;
  comm::Comm comm{messenger};
  connect::ConnectRuntime runtime{comm};
  QMainWindow frame;
  QMdiArea* area = new QMdiArea;
  int16_t editor_count = -1;
  std::unique_ptr<editor::EditorManager> editors;
  std::vector<int> devices;

  Rig() {
    frame.setCentralWidget(area);
    frame.resize(1366, 768);
    frame.show();
  }

  bool StartTcp(int count) {
    comm::CommState& cs = comm.state();
    cs.connection_mode = comm::kLinkTcp;
    comm.OpenTraffic();
    if (comm.tcp().Initialise(comm::kSlotCount) != 0) return false;
    for (int slot = 0; slot < count; ++slot) {
      const int16_t type = slot % 2 == 0 ? device::kTypeRk540 : device::kType540S;
      devices.push_back(sim.AddTcp(type));
      comm.set_device_port(sim.port());
      const QString address = sim.address(devices.back());
      if (comm.tcp().Connect(slot, address, sim.port(), 1000) != 0) return false;
      cs.table.Register(slot, {comm::kLinkTcp, address, static_cast<int16_t>(slot), type, {}});
      if (!ReadOut(slot)) return false;
    }
    return Finish();
  }

  bool StartPaced() {
    devices.push_back(sim.AddPty({.type = device::kTypeRk360, .pace_wire = true}));
    sim.MapComPorts(comm.com_ports());
    comm::CommState& cs = comm.state();
    cs.com_port = static_cast<int16_t>(sim.com_number(devices.back()));
    cs.connection_mode = comm::kLinkUsb;
    if (comm.serial().Open(comm.ComPortName(), device::BaudRate(device::kTypeRk360)) != 0) {
      return false;
    }
    comm.OpenTraffic();
    cs.table.Register(0, {comm::kLinkUsb, QString(), 0, device::kTypeRk360, QString()});
    return ReadOut(0) && Finish();
  }

  bool ReadOut(int slot) {
    if (connect::ReadDevice(runtime.context, slot, {}).stopped_at != connect::ReadoutStep::kDone) {
      return false;
    }
    comm.state().table.device_data_valid[slot] = 1;
    comm.state().table.device_needs_read[slot] = false;
    return true;
  }

  bool Finish() {
    comm.state().last_slot = static_cast<int16_t>(devices.size() - 1);
    comm.EnterOnlineMode();
    editors = std::make_unique<editor::EditorManager>(runtime, area, editor_count, false);
    return true;
  }

  template <typename T>
  T* GainControl(editor::EditorWindow* editor, const char* name) {
    // The gains page's strip: every channel page has one of its own.
    QWidget* strip = editor->Page(editor->PageIndex(QStringLiteral("gains")))
                         ->findChild<QWidget*>(QStringLiteral("stripInL"));
    return strip != nullptr ? strip->findChild<T*>(QString::fromLatin1(name)) : nullptr;
  }
};

Rig* tcp_rig = nullptr;

void ReportLatencies(benchmark::State& state, const std::vector<double>& ms) {
  state.counters["median_ms"] = Percentile(ms, 0.5);
  state.counters["p99_ms"] = Percentile(ms, 0.99);
}

void BM_BareExchangeGain(benchmark::State& state) {
  std::vector<double> ms;
  Clock clock;
  for (auto _ : state) {
    clock.start();
    if (!tcp_rig->comm.Exchange(0, 1, {0, 0, 0, 0, 0, 0, 0, 108}).answered()) {
      state.SkipWithError("lost");
    }
    const double taken = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    ms.push_back(taken);
    state.SetIterationTime(taken / 1e3);
  }
  ReportLatencies(state, ms);
}

// One step of a held knob: move, the packet goes out, knob, slider and text repaint.
void BM_KnobStep(benchmark::State& state) {
  Rig& rig = *tcp_rig;
  editor::EditorWindow* editor = rig.editors->EditorOf(0);
  auto* knob = rig.GainControl<widgets::Knob>(editor, "gainKnob");
  auto* slider = rig.GainControl<QWidget>(editor, "gainSlider");
  auto* edit = rig.GainControl<QWidget>(editor, "gainEdit");
  if (knob == nullptr || slider == nullptr || edit == nullptr) {
    state.SkipWithError("no gain controls");
    return;
  }
  PaintWatch watch;
  for (QWidget* widget : {static_cast<QWidget*>(knob), slider, edit}) watch.Watch(widget);
  const QPoint centre = knob->rect().center();
  QTest::mousePress(knob, Qt::LeftButton, {}, centre);
  QCoreApplication::processEvents();
  sim::SimDevice& device = rig.sim.device(rig.devices[0]);
  std::vector<double> ms;
  int step = 0;
  Clock clock;
  for (auto _ : state) {
    const int heard = device.ReceivedCount();
    // Back and forth between two points clear of the knob's stop at its default: every step
    // changes the value.
    const int dy = (++step % 2 == 0) ? 40 : 52;
    clock.start();
    watch.Arm(0);
    QTest::mouseMove(knob, centre + QPoint(0, dy));
    while ((device.ReceivedCount() == heard || watch.painted() < 3) &&
           clock.nsecsElapsed() < 2'000'000'000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    const double taken = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (taken >= 2000) {
      state.SkipWithError(device.ReceivedCount() == heard ? "no packet" : "no repaint");
      break;
    }
    ms.push_back(taken);
    state.SetIterationTime(taken / 1e3);
  }
  QTest::mouseRelease(knob, Qt::LeftButton, {}, centre);
  QCoreApplication::processEvents();
  ReportLatencies(state, ms);
}

// A bare MDI window with one label, shown and painted: what any window costs.
void BM_BareWindowToFirstPaint(benchmark::State& state) {
  Rig& rig = *tcp_rig;
  std::vector<double> ms;
  Clock clock;
  for (auto _ : state) {
    clock.start();
    auto* label = new QLabel(QStringLiteral("Level"));
    PaintWatch watch;
    watch.Watch(label);
    QMdiSubWindow* frame = rig.area->addSubWindow(label);
    frame->show();
    while (watch.painted() == 0 && clock.nsecsElapsed() < 2'000'000'000) {
      QCoreApplication::processEvents();
    }
    const double taken = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    ms.push_back(taken);
    state.SetIterationTime(taken / 1e3);
    delete frame;
  }
  ReportLatencies(state, ms);
}

// Opening the editor of a read-out device until the page it opens on has painted.
void BM_OpenEditorToFirstPaint(benchmark::State& state) {
  Rig& rig = *tcp_rig;
  const int slot = static_cast<int>(state.range(0));
  std::vector<double> ms;
  Clock clock;
  for (auto _ : state) {
    clock.start();
    editor::EditorWindow* editor = rig.editors->Open(slot);
    if (editor == nullptr) {
      state.SkipWithError("not opened");
      return;
    }
    PaintWatch watch;
    watch.Watch(editor->Page(editor->current_page()));
    while (watch.painted() == 0 && clock.nsecsElapsed() < 2'000'000'000) {
      QCoreApplication::processEvents();
    }
    const double taken = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    ms.push_back(taken);
    state.SetIterationTime(taken / 1e3);
    state.PauseTiming();
    editor->CloseWithoutAsking();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
  ReportLatencies(state, ms);
}

// A hand dragging the knob 3 pixels every 4 ms over a paced 9600-baud line, where one exchange
// takes about 27 ms: the display lag is from a move to the knob's next paint.
void BM_PacedDrag(benchmark::State& state) {
  Rig rig;
  if (!rig.StartPaced()) {
    state.SkipWithError("no paced device");
    return;
  }
  editor::EditorWindow* editor = rig.editors->Open(0);
  QPointer<widgets::Knob> knob = rig.GainControl<widgets::Knob>(editor, "gainKnob");
  if (knob == nullptr) {
    state.SkipWithError("no knob");
    return;
  }
  PaintWatch watch;
  watch.Watch(knob);
  Clock clock;
  clock.start();
  qint64 moved_at = -1;
  double worst_ms = 0.0;
  std::vector<double> lags;
  watch.on_paint = [&](qint64) {
    if (moved_at < 0) return;
    const double lag = static_cast<double>(clock.nsecsElapsed() - moved_at) / 1e6;
    lags.push_back(lag);
    worst_ms = std::max(worst_ms, lag);
    moved_at = -1;
  };
  bool final_equal = true;
  int packets = 0;
  int moves_total = 0;
  for (auto _ : state) {
    constexpr int kMoves = 60;
    const QPoint centre = knob->rect().center();
    const int heard = rig.sim.device(rig.devices[0]).ReceivedCount();
    const qint64 started = clock.nsecsElapsed();
    QTest::mousePress(knob, Qt::LeftButton, {}, centre);
    int move = 0;
    QTimer hand;
    QObject::connect(&hand, &QTimer::timeout, knob, [&] {
      if (move == kMoves) return;
      ++move;
      // A move the display has not shown yet keeps its time: the lag runs from the oldest.
      if (moved_at < 0) moved_at = clock.nsecsElapsed();
      const int up_and_down = move <= kMoves / 2 ? move : kMoves - move;
      QTest::mouseMove(knob, centre + QPoint(0, 3 * up_and_down + (move % 7)));
    });
    hand.start(4);
    while (move < kMoves) QTest::qWait(4);
    hand.stop();
    QTest::mouseRelease(knob, Qt::LeftButton, {}, knob->rect().center());
    // The line drains: the device must end on what the knob shows.
    QDeadlineTimer deadline(5000);
    const auto pc = rig.runtime.store.Data(0)->Image();
    bool equal = false;
    while (!equal && !deadline.hasExpired()) {
      QTest::qWait(20);
      const QByteArray image = rig.sim.device(rig.devices[0]).Image();
      equal = std::equal(pc.begin(), pc.end(), image.begin(), image.end(),
                         [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
    }
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed() - started) / 1e9);
    final_equal = final_equal && equal;
    packets += rig.sim.device(rig.devices[0]).ReceivedCount() - heard;
    moves_total += kMoves;
  }
  state.counters["worst_lag_ms"] = worst_ms;
  state.counters["p99_lag_ms"] = Percentile(lags, 0.99);
  state.counters["final_equal"] = final_equal ? 1 : 0;
  state.counters["packets_per_move"] =
      moves_total > 0 ? static_cast<double>(packets) / moves_total : 0.0;
}

long ResidentKb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  }
  return -1;
}

BENCHMARK(BM_BareExchangeGain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(BM_KnobStep)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(BM_BareWindowToFirstPaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(BM_OpenEditorToFirstPaint)
    ->Arg(2)
    ->Arg(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(BM_PacedDrag)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      for (const auto& [name, counter] : run.counters) {
        counters[run.benchmark_name()][name] = counter.value;
      }
    }
  }
  std::map<std::string, std::map<std::string, double>> counters;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  widgets::ApplyTheme(app);
  benchmark::Initialize(&argc, argv);
  Rig shared;
  if (!shared.StartTcp(8)) {
    std::fprintf(stderr, "editor_bench: the emulated devices did not start\n");
    return 1;
  }
  const long before_kb = ResidentKb();
  // Slot 0 stays open for the knob step; the open benchmark opens and closes slots 2 (RK-540)
  // and 3 (540S).
  tcp_rig = &shared;
  if (shared.editors->Open(0) == nullptr) return 1;
  QCoreApplication::processEvents();

  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& c = reporter.counters;
  const auto value = [&c](const char* run, const char* counter) {
    const auto found = c.find(run);
    return found == c.end() ? -1.0 : found->second[counter];
  };
  const double bare = value("BM_BareExchangeGain/iterations:300/manual_time", "median_ms");
  const double step = value("BM_KnobStep/iterations:300/manual_time", "median_ms");
  if (bare > 0 && step > 0) {
    std::printf(
        "knob step   median %.2f ms  p99 %.2f ms (goal <= 4 / <= 16)  bare Exchange median %.2f "
        "ms  ratio %.2f\n",
        step, value("BM_KnobStep/iterations:300/manual_time", "p99_ms"), bare, step / bare);
  }
  const double window = value("BM_BareWindowToFirstPaint/iterations:20/manual_time", "median_ms");
  for (const char* run : {"BM_OpenEditorToFirstPaint/2/iterations:10/manual_time",
                          "BM_OpenEditorToFirstPaint/3/iterations:10/manual_time"}) {
    const double open = value(run, "median_ms");
    if (open > 0 && window > 0) {
      std::printf("%s  median %.1f ms (goal <= 150)  bare window %.1f ms  ratio %.1f\n", run, open,
                  window, open / window);
    }
  }

  // Resident memory: eight editors, both families.
  int opened = 0;
  for (int slot = 0; slot < 8; ++slot) {
    if (shared.editors->EditorOf(slot) != nullptr || shared.editors->Open(slot) != nullptr) {
      ++opened;
    }
  }
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  const long after_kb = ResidentKb();
  std::printf(
      "resident memory: %ld kB with the devices read out, %ld kB with %d editors open "
      "(%.1f MB more)\n",
      before_kb, after_kb, opened, static_cast<double>(after_kb - before_kb) / 1024.0);
  shared.editors.reset();
  return 0;
}
