// tessaly-cli batch mode against an emulated 540S on loop-back TCP.
//
// BM_Batch100Sets runs one process over a batch of 100 `set` lines and prints, beside its time,
// the time of one `tessaly-cli set` run measured in the same run (a connection and a read-out
// per edit), what 100 such runs would cost, and the ratio of the two.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include "device/DeviceTypes.h"
#include "sim/SimHost.h"

namespace {

using namespace tessaly;

constexpr int kEdits = 100;
constexpr int kRunLimitMs = 120000;

quint16 FreePort(const QString& address) {
  QTcpServer probe;
  return probe.listen(QHostAddress(address), 0) ? probe.serverPort() : 0;
}

// Runs tessaly-cli against the device and returns its time in ms, or -1 when it failed.
double TimedRun(quint16 port, const QStringList& args, const QByteArray& input = {}) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("TESSALY_DEVICE_PORT"), QString::number(port));
  process.setProcessEnvironment(env);
  QElapsedTimer timer;
  timer.start();
  process.start(QStringLiteral(TESSALY_CLI_PATH),
                QStringList{QStringLiteral("--tcp"), QStringLiteral("127.0.0.30")} + args);
  if (!process.waitForStarted()) return -1;
  process.write(input);
  process.closeWriteChannel();
  if (!process.waitForFinished(kRunLimitMs) || process.exitCode() != 0) return -1;
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void BM_Batch100Sets(benchmark::State& state) {
  sim::SimHost sim;
  const quint16 port = FreePort(QStringLiteral("127.0.0.30"));
  sim::SimDeviceConfig config;
  config.type = device::kType540S;
  config.address = QStringLiteral("127.0.0.30");
  config.port = port;
  if (sim.Start(config) < 0) {
    state.SkipWithError("emulator did not start");
    return;
  }
  QByteArray lines;
  for (int i = 0; i < kEdits; ++i) {
    lines += QStringLiteral("set Sub gain -%1\n").arg(i % 40).toUtf8();
  }
  const double single_ms = TimedRun(port, {QStringLiteral("set"), QStringLiteral("Sub"),
                                           QStringLiteral("gain"), QStringLiteral("-3")});
  if (single_ms < 0) {
    state.SkipWithError("tessaly-cli set failed");
    return;
  }
  double total_ms = 0;
  int64_t runs = 0;
  for (auto _ : state) {
    const double ms = TimedRun(port, {QStringLiteral("batch"), QStringLiteral("-")}, lines);
    if (ms < 0) {
      state.SkipWithError("tessaly-cli batch failed");
      return;
    }
    total_ms += ms;
    ++runs;
  }
  const double batch_ms = runs > 0 ? total_ms / static_cast<double>(runs) : 0;
  state.counters["batch_ms"] = batch_ms;
  state.counters["per_edit_ms"] = batch_ms / kEdits;
  state.counters["one_set_run_ms"] = single_ms;
  state.counters["runs_x100_ms"] = single_ms * kEdits;
  state.counters["ratio"] = batch_ms / (single_ms * kEdits);
}
BENCHMARK(BM_Batch100Sets)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
