// Quitting with two devices on-line and their editors open, offscreen against emulated devices:
// from the exit question's Yes to the window closed, every device released and every link shut
// (goal: under 300 ms on loopback), beside the two bare release exchanges the quit must make,
// measured in the same run.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "app/AppState.h"
#include "app/MainWindow.h"
#include "connect/DeviceReadout.h"
#include "connect/ui/ConnectWorkflow.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "support/SimHarness.h"

namespace {

using namespace tessaly;

constexpr int kRounds = 9;
constexpr int kDevices = 2;

// Says Yes to the exit question.
class YesMessenger : public device::Messenger {
 public:
  device::MessageAnswer Show(const device::Message&) override {
    return device::MessageAnswer::kYes;
  }
};

// The main window with two devices read out and their editors open, as after a working session.
struct Session {
  test::SimHarness sim;
  YesMessenger messenger;
  app::AppState state{messenger};
  std::unique_ptr<app::MainWindow> window = std::make_unique<app::MainWindow>(state);

  bool Start() {
    if (!window->Load()) return false;
    window->show();
    comm::Comm& comm = state.comm();
    comm.state().connection_mode = comm::kLinkTcp;
    comm.OpenTraffic();
    for (int slot = 0; slot < kDevices; ++slot) {
      const int index = sim.AddTcp(slot == 0 ? 3 : 0);
      comm.set_device_port(sim.port());
      if (comm.tcp().Connect(slot, sim.address(index), sim.port(), 1000) != 0) return false;
      comm.table().Register(slot, {comm::kLinkTcp, sim.address(index), static_cast<int16_t>(slot),
                                   static_cast<int16_t>(slot == 0 ? 3 : 0), QString()});
      if (connect::ReadDevice(window->connect_workflow().runtime().context, slot, {}).stopped_at !=
          connect::ReadoutStep::kDone) {
        return false;
      }
      comm.table().device_needs_read[slot] = false;
      comm.table().device_data_valid[slot] = 1;
      if (window->editors().Open(slot) == nullptr) return false;
    }
    comm.EnterOnlineMode();
    comm.keep_alive().Start();
    QApplication::processEvents();
    return true;
  }
  bool Released() {
    for (int slot = 0; slot < kDevices; ++slot) {
      if (sim.device(slot).ReceivedCommands().value(0) != device::kCmdRelease) return false;
      if (state.comm().tcp().IsConnected(slot)) return false;
    }
    return true;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::vector<double> quit_ms;
  std::vector<double> bare_ms;
  for (int round = 0; round < kRounds; ++round) {
    Session session;
    if (!session.Start()) {
      std::fprintf(stderr, "the session did not start\n");
      return 1;
    }
    // The bare baseline: one release exchange per device on the same links.
    QElapsedTimer bare;
    bare.start();
    for (int slot = 0; slot < kDevices; ++slot) {
      if (!session.state.comm().Exchange(slot, device::kCmdRelease).answered()) return 1;
    }
    bare_ms.push_back(static_cast<double>(bare.nsecsElapsed()) / 1e6);
    for (int slot = 0; slot < kDevices; ++slot) session.sim.device(slot).ClearReceived();

    // Up to the window gone, as the program ends after the event loop returns.
    QElapsedTimer quit;
    quit.start();
    if (!session.window->close()) return 1;
    const bool released = session.Released();
    session.window.reset();
    quit_ms.push_back(static_cast<double>(quit.nsecsElapsed()) / 1e6);
    if (!released) {
      std::fprintf(stderr, "the quit did not release every device\n");
      return 1;
    }
  }
  const double quit = bench::Percentile(quit_ms, 0.5);
  const double bare = bench::Percentile(bare_ms, 0.5);
  std::printf(
      "quit with %d editors: median %.1f ms, worst %.1f ms (goal < 300 ms)   "
      "bare releases %.2f ms   ratio %.1f\n",
      kDevices, quit, bench::Percentile(quit_ms, 1.0), bare, quit / bare);
  return 0;
}
