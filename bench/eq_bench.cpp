// What a user feels while shaping an EQ, on the offscreen platform against the emulator over
// loopback TCP: one marker drag step (preview curve and the changed part of the panel repainted),
// one band gain step as a knob drag sends it (packet, band curve, panel repaint) and a full repaint
// of the graph window with 7 channels and two sums at 1600 x 900. Each is given as median and p99
// of single steps, beside a baseline measured in the same run: a bare Exchange of the same band
// packet for the knob step, a repaint of the unchanged panel for the drag step, and the grid
// alone for the window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QRadioButton>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "comm/Comm.h"
#include "editor/EditorContext.h"
#include "editor/EqGraphPanel.h"
#include "editor/EqSection.h"
#include "graph/ResponseCurves.h"
#include "graph/ui/GraphPlot.h"
#include "graph/ui/ResponseGraphWindow.h"
#include "model/EditPath.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "sim/SimHost.h"

namespace {

using namespace tessaly;

constexpr int kSlot = 0;
constexpr int kInput = 0;

struct Rig : bench::EditRig {
  explicit Rig(int type) : EditRig(type, QStringLiteral("127.0.0.5"), kSlot) {}
  editor::EditorContext context{path, messenger, kSlot, false};
};

Rig* rig_a = nullptr;
Rig* rig_b = nullptr;
std::map<std::string, std::vector<double>> steps;  // milliseconds per step

template <typename Step>
void Timed(benchmark::State& state, const char* name, Step step) {
  std::vector<double>& out = steps[name];
  QElapsedTimer timer;
  for (auto _ : state) {
    timer.start();
    step();
    out.push_back(timer.nsecsElapsed() / 1e6);
  }
}

void Settle() { QCoreApplication::processEvents(); }

void Move(QWidget* widget, QPoint at) {
  QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                   {});
  QApplication::sendEvent(widget, &move);
}

void BM_MarkerDragStep(benchmark::State& state) {
  editor::EqSection section(rig_a->context, kInput);
  section.resize(1300, 600);
  section.show();
  Settle();
  editor::EqGraphPanel* panel = section.panel();
  const QPoint start = panel->MarkerCentre(5);
  QMouseEvent press(QEvent::MouseButtonPress, start, panel->mapToGlobal(start), Qt::LeftButton,
                    Qt::LeftButton, {});
  QApplication::sendEvent(panel, &press);
  int i = 0;
  Timed(state, "marker drag step", [&] {
    Move(panel, start + QPoint((i % 40) - 20, ((i * 7) % 30) - 15));
    ++i;
    Settle();
  });
  QMouseEvent release(QEvent::MouseButtonRelease, start, panel->mapToGlobal(start), Qt::LeftButton,
                      Qt::NoButton, {});
  QApplication::sendEvent(panel, &release);
  Settle();
}

void BM_PanelRepaint(benchmark::State& state) {
  editor::EqSection section(rig_a->context, kInput);
  section.resize(1300, 600);
  section.show();
  Settle();
  Timed(state, "panel repaint (baseline)", [&] { section.panel()->repaint(); });
}

void BM_KnobGainStep(benchmark::State& state) {
  editor::EqSection section(rig_a->context, kInput);
  section.resize(1300, 600);
  section.show();
  Settle();
  const model::EditTarget gain{kSlot, model::ParamId::kEqGain, kInput, 4};
  int i = 0;
  Timed(state, "knob gain step", [&] {
    rig_a->path.SetIndex(gain, 20 + (i++ % 20));
    Settle();
  });
  rig_a->path.Undo(kSlot).Clear();
}

void BM_BareExchange(benchmark::State& state) {
  Timed(state, "bare Exchange (baseline)", [&] {
    if (!rig_a->comm.Exchange(kSlot, 5, {kInput, 4, 0, 0, 0x03, 0xE8, 9, 30}).answered()) {
      state.SkipWithError("lost");
    }
  });
}

void WindowRepaint(benchmark::State& state, bool curves) {
  graph::ResponseGraphWindow window(rig_b->curves, kSlot, 3, rig_b->messenger);
  window.show();
  for (const char* option : {"sumOption4_1", "sumOption5_2"}) {
    window.findChild<QRadioButton*>(QString::fromLatin1(option))->setChecked(true);
  }
  QWidget* plot = window.plot();
  window.resize(window.size() + QSize(1600, 900) - plot->size());
  Settle();
  for (int ch = 0; ch < 7 && !curves; ++ch) {
    window.findChild<QCheckBox*>(QStringLiteral("viewCheck%1").arg(ch))->setChecked(false);
  }
  Settle();
  Timed(state, curves ? "graph window 7 curves" : "graph window grid (baseline)", [&] {
    window.Redraw();
    plot->repaint();
  });
}

void BM_GraphWindowRepaint(benchmark::State& state) { WindowRepaint(state, true); }
void BM_GraphWindowGrid(benchmark::State& state) { WindowRepaint(state, false); }

BENCHMARK(BM_MarkerDragStep)->Iterations(300)->UseRealTime();
BENCHMARK(BM_KnobGainStep)->Iterations(300)->UseRealTime();
BENCHMARK(BM_PanelRepaint)->Iterations(300)->UseRealTime();
BENCHMARK(BM_BareExchange)->Iterations(300)->UseRealTime();
BENCHMARK(BM_GraphWindowRepaint)->Iterations(100)->UseRealTime();
BENCHMARK(BM_GraphWindowGrid)->Iterations(100)->UseRealTime();

void Report(const char* ours, const char* baseline, double median_limit, double p99_limit) {
  const double median = tessaly::bench::Percentile(steps[ours], 0.5);
  const double p99 = tessaly::bench::Percentile(steps[ours], 0.99);
  const double base = tessaly::bench::Percentile(steps[baseline], 0.5);
  std::printf(
      "%-24s median %7.3f ms  p99 %7.3f ms  (limits %.0f / %.0f ms)  %-28s median %7.3f ms"
      "  ratio %.2f\n",
      ours, median, p99, median_limit, p99_limit, baseline, base, base > 0 ? median / base : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Rig a(0);
  Rig b(3);
  rig_a = &a;
  rig_b = &b;
  // Shaped curves, so the window draws real lines.
  for (int band = 0; band < 12; band += 3) {
    b.path.SetText({kSlot, model::ParamId::kEqGain, 0, band}, u"6");
  }
  benchmark::RunSpecifiedBenchmarks();
  Report("marker drag step", "panel repaint (baseline)", 4, 16);
  Report("knob gain step", "bare Exchange (baseline)", 4, 16);
  Report("graph window 7 curves", "graph window grid (baseline)", 16, 16);
  return 0;
}
