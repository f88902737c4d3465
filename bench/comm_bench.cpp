// Round trip of one edit through Exchange against the emulator, over loopback TCP and over a
// pseudo-terminal, beside a bare request/reply on the same kind of line with plain POSIX calls
// (goal: at most 1.2 times the bare exchange).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "comm/Comm.h"
#include "sim/SimHost.h"

namespace {

using tessaly::bench::SilentMessenger;

using tessaly::comm::Comm;

const unsigned char kGainEdit[13] = {0x8D, 0x1F, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0x7F, 0xF7};

// Both lines' devices live in one emulator host, so one thread answers ours and the bare
// exchanges alike: two hosts let the scheduler place their threads differently, and the ratio then
// measured thread placement rather than the exchange.
struct Rig {
  tessaly::sim::SimHost host;
  SilentMessenger messenger;
  std::unique_ptr<Comm> comm;
  int ours = -1;
  int bare = -1;

  explicit Rig(bool tcp) {
    tessaly::sim::SimDeviceConfig config;
    config.type = 0;
    config.link = tcp ? tessaly::sim::SimLinkKind::kTcp : tessaly::sim::SimLinkKind::kPty;
    config.address = QStringLiteral("127.0.0.2");
    config.port = 0;
    ours = host.Start(config);
    bare = host.Start(config);
    comm = std::make_unique<Comm>(messenger);
    auto& state = comm->state();
    comm->OpenTraffic();
    state.connection_mode = tcp ? tessaly::comm::kLinkTcp : tessaly::comm::kLinkUsb;
    state.com_port = 3;
    comm->com_ports().Map(3, host.pty_path(ours));
    comm->table().Register(0, {state.connection_mode, host.address(ours), 0, 0, {}});
    if (tcp) {
      comm->tcp().Initialise(33);
      comm->tcp().Connect(0, host.address(ours), host.port(ours), 2000);
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

// A plain descriptor to the rig's second device, as a program without Qt would hold it.
int OpenRaw(Rig& rig, bool tcp) {
  if (!tcp) {
    const int fd = open(rig.host.pty_path(rig.bare).toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, B57600);
    tcsetattr(fd, TCSANOW, &tio);
    return fd;
  }
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(rig.host.port(rig.bare));
  inet_pton(AF_INET, "127.0.0.2", &target.sin_addr);
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0 ? fd : -1;
}

double Microseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

// Five repetitions of alternating blocks of exchanges, ours and bare ones on a device of their own,
// so a machine busy with something else slows both alike. Each repetition gives the ratio of the
// two medians; the figure is the median of the five ratios.
// The emulator's thread on one processor and this one on another, as a device and the PC are: left
// to the scheduler, the two threads sometimes share a processor and sometimes not, and the bare
// exchange's median jumps between two speeds from one run to the next.
void PinThread(int cpu) {
  if (std::thread::hardware_concurrency() < 2) return;
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  pthread_setaffinity_np(pthread_self(), sizeof set, &set);
}

bool Compare(bool tcp) {
  constexpr int kRepetitions = 5;
  constexpr int kBlocks = 10;
  constexpr int kBlockExchanges = 100;
  PinThread(1);  // the emulator's thread, started by the rig, keeps this processor
  Rig rig(tcp);
  PinThread(0);
  const int fd = OpenRaw(rig, tcp);
  if (fd < 0) return false;
  // Warm both paths (first connections, caches, the emulator's buffers) before timing.
  for (int i = 0; i < 200; ++i) {
    if (!rig.comm->Exchange(0, 1, {1, 0, 0, 0, 0, 0, 0, 127}).answered() || !RawExchange(fd)) {
      return false;
    }
  }
  std::vector<double> ratios;
  std::vector<double> our_medians;
  std::vector<double> raw_medians;
  for (int repetition = 0; repetition < kRepetitions; ++repetition) {
    std::vector<double> our_us;
    std::vector<double> raw_us;
    for (int block = 0; block < kBlocks; ++block) {
      for (int i = 0; i < kBlockExchanges; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!rig.comm->Exchange(0, 1, {1, 0, 0, 0, 0, 0, 0, 127}).answered()) return false;
        our_us.push_back(Microseconds(std::chrono::steady_clock::now() - start));
      }
      for (int i = 0; i < kBlockExchanges; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!RawExchange(fd)) return false;
        raw_us.push_back(Microseconds(std::chrono::steady_clock::now() - start));
      }
    }
    our_medians.push_back(tessaly::bench::Percentile(our_us, 0.5));
    raw_medians.push_back(tessaly::bench::Percentile(raw_us, 0.5));
    ratios.push_back(our_medians.back() / raw_medians.back());
  }
  close(fd);
  std::printf("%s exchange median %7.1f us   bare %7.1f us   ratio %.2f (goal <= 1.2; the five: ",
              tcp ? "TCP" : "pty", tessaly::bench::Percentile(our_medians, 0.5),
              tessaly::bench::Percentile(raw_medians, 0.5),
              tessaly::bench::Percentile(ratios, 0.5));
  for (const double ratio : ratios) std::printf("%.2f ", ratio);
  std::printf(")\n");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bool ok = Compare(true) && Compare(false);
  if (!ok) std::fprintf(stderr, "an exchange was lost\n");
  return ok ? 0 : 1;
}
