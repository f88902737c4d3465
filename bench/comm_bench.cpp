// Round trip of one edit through TxCommand against the emulator, over loopback TCP and over a
// pseudo-terminal, beside a bare request/reply on the same line with plain POSIX calls.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "comm/Comm.h"
#include "sim/SimHost.h"

namespace {

using tessaly::bench::SilentMessenger;

using tessaly::comm::Comm;

const unsigned char kGainEdit[13] = {0x8D, 0x1F, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0x7F, 0xF7};

struct Rig {
  tessaly::sim::SimHost host;
  SilentMessenger messenger;
  std::unique_ptr<Comm> comm;
  int index = -1;

  explicit Rig(bool tcp) {
    tessaly::sim::SimDeviceConfig config;
    config.type = 0;
    config.link = tcp ? tessaly::sim::SimLinkKind::kTcp : tessaly::sim::SimLinkKind::kPty;
    config.address = QStringLiteral("127.0.0.2");
    config.port = 0;
    index = host.Start(config);
    comm = std::make_unique<Comm>(messenger);
    auto& state = comm->state();
    state.comm_ready = true;
    state.connection_mode = tcp ? tessaly::comm::kLinkTcp : tessaly::comm::kLinkUsb;
    state.com_port = 3;
    comm->com_ports().Map(3, host.pty_path(index));
    comm->table().Register(0, {state.connection_mode, host.address(index), 0, 0, {}});
    if (tcp) {
      comm->tcp().Initialise(33);
      comm->tcp().Connect(0, host.address(index), host.port(index), 2000);
    }
  }
};

// Exactly one request and one 13-byte reply on a blocking descriptor.
bool RawExchange(int fd) {
  if (write(fd, kGainEdit, sizeof kGainEdit) != static_cast<ssize_t>(sizeof kGainEdit)) {
    return false;
  }
  unsigned char reply[13];
  size_t got = 0;
  while (got < sizeof reply) {
    const ssize_t n = read(fd, reply + got, sizeof reply - got);
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

void BM_TxCommandTcp(benchmark::State& state) {
  Rig rig(true);
  for (auto _ : state) {
    if (rig.comm->TxCommand(0, 1, {1, 0, 0, 0, 0, 0, 0, 127}) != 0) state.SkipWithError("lost");
  }
}

void BM_RawTcp(benchmark::State& state) {
  Rig rig(true);
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(rig.host.port(rig.index));
  inet_pton(AF_INET, "127.0.0.2", &target.sin_addr);
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
    state.SkipWithError("connect");
  }
  for (auto _ : state) {
    if (!RawExchange(fd)) state.SkipWithError("raw exchange");
  }
  close(fd);
}

void BM_TxCommandPty(benchmark::State& state) {
  Rig rig(false);
  for (auto _ : state) {
    if (rig.comm->TxCommand(0, 1, {1, 0, 0, 0, 0, 0, 0, 127}) != 0) state.SkipWithError("lost");
  }
}

void BM_RawPty(benchmark::State& state) {
  Rig rig(false);
  const int fd = open(rig.host.pty_path(rig.index).toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
  termios tio{};
  tcgetattr(fd, &tio);
  cfmakeraw(&tio);
  cfsetspeed(&tio, B57600);
  tcsetattr(fd, TCSANOW, &tio);
  for (auto _ : state) {
    if (!RawExchange(fd)) state.SkipWithError("raw exchange");
  }
  close(fd);
}

BENCHMARK(BM_RawTcp)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_TxCommandTcp)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_RawPty)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_TxCommandPty)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Keeps the per-iteration times so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      if (run.iterations > 0) times[name.substr(0, name.find('/'))] = run.GetAdjustedRealTime();
    }
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const char* ours, const char* raw) {
    if (reporter.times.count(ours) == 0 || reporter.times.count(raw) == 0) return;
    std::printf("%-16s %9.1f us   raw %9.1f us   ratio %.2f (target <= 1.5)\n", ours,
                reporter.times[ours], reporter.times[raw],
                reporter.times[ours] / reporter.times[raw]);
  };
  ratio("BM_TxCommandTcp", "BM_RawTcp");
  ratio("BM_TxCommandPty", "BM_RawPty");
  return 0;
}
