// Device read-out and network scan against emulated devices on loop-back TCP.
//
// BM_FullReadOut540S prints, beside its own time, the raw round trip of one 13-byte exchange
// measured in the same run, the number of exchanges the read-out makes, their product (what the
// read-out would cost if it were nothing but round trips) and the ratio of the two.
// BM_Scan254 scans 127.0.0.1..254 with three devices answering and prints its time against the
// 300 ms scan wait and against 254 waits one after the other.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>

#include "BenchSupport.h"
#include "comm/Comm.h"
#include "comm/TcpScan.h"
#include "connect/ConnectRuntime.h"
#include "connect/DeviceReadout.h"
#include "connect/TcpConnect.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "sim/SimHost.h"

namespace {

using tessaly::bench::SilentMessenger;

using namespace tessaly;

quint16 FreePort(const QString& address) {
  QTcpServer probe;
  return probe.listen(QHostAddress(address), 0) ? probe.serverPort() : 0;
}

void BM_FullReadOut540S(benchmark::State& state) {
  SilentMessenger messenger;
  comm::Comm comm(messenger);
  connect::ConnectRuntime runtime(comm);
  sim::SimHost sim;
  const QString address = QStringLiteral("127.0.0.10");
  const quint16 port = FreePort(address);
  comm.set_device_port(port);
  sim::SimDeviceConfig config;
  config.type = device::kType540S;
  config.address = address;
  config.port = port;
  config.programs = 56;
  if (sim.Start(config) < 0) {
    state.SkipWithError("emulator did not start");
    return;
  }
  comm.tcp_slots()->SetLocalAddresses({QStringLiteral("192.168.1.5")});
  runtime.session.config.single = {127, 0, 0, 10};
  comm.state().connection_mode = comm::kLinkTcp;
  connect::TcpConnect tcp(runtime.context);
  auto outcome = connect::ConnectOutcome::kCancelled;
  if (tcp.Initialise()) {
    QEventLoop loop;
    QObject::connect(&tcp, &connect::TcpConnect::finished, &loop,
                     [&](connect::ConnectOutcome ended) {
                       outcome = ended;
                       loop.quit();
                     });
    tcp.Start({});
    if (outcome == connect::ConnectOutcome::kCancelled) loop.exec();
  }
  if (outcome != connect::ConnectOutcome::kDevicesListed || comm.state().last_slot != 0) {
    state.SkipWithError("device not connected");
    return;
  }

  constexpr int kRawRounds = 200;
  QElapsedTimer raw;
  raw.start();
  for (int i = 0; i < kRawRounds; ++i) {
    if (!comm.Exchange(0, device::kCmdIdentify).answered()) state.SkipWithError("identify failed");
  }
  const double raw_us = static_cast<double>(raw.nsecsElapsed()) / 1000.0 / kRawRounds;

  int exchanges = 0;
  qint64 total_ns = 0;
  int64_t runs = 0;
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    const connect::ReadoutResult result = connect::ReadDevice(runtime.context, 0, {});
    total_ns += timer.nsecsElapsed();
    ++runs;
    if (!result.complete()) state.SkipWithError("read-out incomplete");
    exchanges = result.exchanges;
  }
  const double readout_us = runs > 0 ? static_cast<double>(total_ns) / 1000.0 / runs : 0;
  state.counters["exchanges"] = exchanges;
  state.counters["raw_rtt_us"] = raw_us;
  state.counters["exch_x_rtt_us"] = exchanges * raw_us;
  state.counters["readout_us"] = readout_us;
  state.counters["ratio"] = raw_us > 0 ? readout_us / (exchanges * raw_us) : 0;
}
BENCHMARK(BM_FullReadOut540S)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_Scan254(benchmark::State& state) {
  sim::SimHost sim;
  const quint16 port = FreePort(QStringLiteral("127.0.0.20"));
  for (const char* address : {"127.0.0.20", "127.0.0.120", "127.0.0.220"}) {
    sim::SimDeviceConfig config;
    config.type = device::kTypeRk540;
    config.address = QString::fromLatin1(address);
    config.port = port;
    if (sim.Start(config) < 0) {
      state.SkipWithError("emulator did not start");
      return;
    }
  }
  QStringList addresses;
  for (int k = 1; k <= 254; ++k) addresses << QStringLiteral("127.0.0.%1").arg(k);

  qint64 total_ns = 0;
  int64_t runs = 0;
  qsizetype answered = 0;
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    comm::TcpScan scan;
    QEventLoop loop;
    QList<comm::ScanAnswer> answers;
    QObject::connect(&scan, &comm::TcpScan::finished, &loop,
                     [&](const QList<comm::ScanAnswer>& result) {
                       answers = result;
                       loop.quit();
                     });
    scan.Start(addresses, port, connect::kScanWaitMs);
    if (scan.running()) loop.exec();
    total_ns += timer.nsecsElapsed();
    ++runs;
    answered = std::count_if(answers.begin(), answers.end(), [](const comm::ScanAnswer& a) {
      return a.result == comm::ScanResult::kAccepted;
    });
  }
  const double scan_ms = runs > 0 ? static_cast<double>(total_ns) / 1e6 / runs : 0;
  state.counters["answered"] = static_cast<double>(answered);
  state.counters["scan_ms"] = scan_ms;
  state.counters["wait_ms"] = connect::kScanWaitMs;
  state.counters["ratio_to_wait"] = scan_ms / connect::kScanWaitMs;
  state.counters["ratio_to_254_waits"] = scan_ms / (254.0 * connect::kScanWaitMs);
}
BENCHMARK(BM_Scan254)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
