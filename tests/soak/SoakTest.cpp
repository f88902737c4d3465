#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/DeviceReadout.h"
#include "connect/TcpConnect.h"
#include "device/DeviceTypes.h"
#include "meters/MeterPoll.h"
#include "model/EditCore.h"
#include "model/EditPath.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"
#include "support/WiredCore.h"

namespace tessaly {
namespace {

constexpr int kDevices = 33;
constexpr int kEditors = 8;
constexpr int kEditMs = 40;
constexpr int kSwitchEditorMs = 3000;
constexpr int kStallProbeMs = 10;
// The two devices that are killed and restarted; both have an editor open.
constexpr std::array<int, 2> kKilled = {3, 6};

// Resident memory of this process in kB: its own (heap, stacks) and the pages of its program and
// libraries, which grow as code runs for the first time (a device lost and opened again) and are
// shared with every other process that maps them.
struct Resident {
  long own = 0;
  long mapped = 0;
  long total() const { return own + mapped; }
};

Resident ResidentKb() {
  Resident resident;
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return resident;
  for (const QByteArray& line : status.readAll().split('\n')) {
    const auto kb = [&line] {
      return line.mid(line.indexOf(':') + 1).trimmed().split(' ')[0].toLong();
    };
    if (line.startsWith("RssAnon:")) resident.own = kb();
    if (line.startsWith("RssFile:") || line.startsWith("RssShmem:")) resident.mapped += kb();
  }
  return resident;
}

int EnvNumber(const char* name, int fallback) {
  bool ok = false;
  const int value = qEnvironmentVariable(name).toInt(&ok);
  return ok && value > 0 ? value : fallback;
}

// 33 devices on one port of the loop-back subnet 127.0.<subnet>.1-33: the 540S on every third
// address, RK-540s between. The killed ones keep their memories in a file across restarts.
struct Fleet {
  explicit Fleet(int subnet) : subnet_(subnet) {}

  QString Address(int n) const { return QStringLiteral("127.0.%1.%2").arg(subnet_).arg(n + 1); }
  int TypeOf(int n) const { return n % 3 == 0 ? device::kType540S : device::kTypeRk540; }

  bool StartAll() {
    for (int n = 0; n < kDevices; ++n) {
      if (Start(n) < 0) return false;
    }
    return true;
  }
  int Start(int n) {
    const bool keeps = std::find(kKilled.begin(), kKilled.end(), n) != kKilled.end();
    const int index = harness.AddTcpAt(
        Address(n),
        {.type = TypeOf(n),
         .memory_file = keeps ? memory_.filePath(QStringLiteral("%1.mem").arg(n)) : QString()});
    if (index >= 0) index_[static_cast<size_t>(n)] = index;
    return index;
  }
  void Kill(int n) { harness.Stop(index_[static_cast<size_t>(n)]); }
  sim::SimDevice& Device(int n) { return harness.device(index_[static_cast<size_t>(n)]); }

  test::SimHarness harness;

 private:
  int subnet_;
  QTemporaryDir memory_;
  std::array<int, kDevices> index_{};
};

using Core = test::WiredCore;

connect::ConnectOutcome Scan(Core& core, const Fleet& fleet, int subnet) {
  core.comm.set_device_port(fleet.harness.port());
  core.comm.tcp_slots()->SetLocalAddresses({QStringLiteral("192.168.1.5")});
  core.comm.state().connection_mode = comm::kLinkTcp;
  core.session.several_addresses = true;
  core.session.config.range_start = {127, 0, static_cast<int16_t>(subnet), 1};
  core.session.config.range_end = {127, 0, static_cast<int16_t>(subnet), kDevices};
  connect::TcpConnect tcp(core.context);
  if (!tcp.Initialise()) return connect::ConnectOutcome::kInitFailed;
  std::optional<connect::ConnectOutcome> outcome;
  QEventLoop loop;
  QObject::connect(&tcp, &connect::TcpConnect::finished, &loop, [&](connect::ConnectOutcome end) {
    outcome = end;
    loop.quit();
  });
  tcp.Start({});
  if (!outcome) {
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return outcome.value_or(connect::ConnectOutcome::kCancelled);
}

// Opens a device as a double-click in the device list does: a fresh link, the read-out, on line.
bool Open(Core& core, const Fleet& fleet, int slot) {
  comm::Comm& comm = core.comm;
  if (!comm.LinkUp(slot) &&
      comm.tcp().Connect(slot, fleet.Address(slot), fleet.harness.port(), 1000) != 0) {
    return false;
  }
  comm.state().table[slot].online = true;
  comm.OpenTraffic();
  if (!connect::ReadDevice(core.context, slot, {}).complete()) return false;
  comm.state().table.device_needs_read[slot] = false;
  comm.state().table[slot].editor_open = true;
  return true;
}

// Empty when every device's running program equals the PC's image of it.
std::string LostEdits(Core& core, Fleet& fleet) {
  std::string lost;
  for (int n = 0; n < kDevices; ++n) {
    const QByteArray device_image = fleet.Device(n).Image();
    const auto pc = core.store.Data(n)->Image();
    if (QByteArray(reinterpret_cast<const char*>(pc.data()), static_cast<qsizetype>(pc.size())) !=
        device_image) {
      lost += " " + std::to_string(n);
    }
  }
  return lost;
}

TEST(Soak, ThirtyThreeDevicesEightEditorsNoLostEdit) {
  test::EnsureCoreApplication();
  const int seconds = EnvNumber("TESSALY_SOAK_SECONDS", 60);
  const int subnet = EnvNumber("TESSALY_SOAK_SUBNET", 2);
  Fleet fleet(subnet);
  ASSERT_TRUE(fleet.StartAll());
  Core core;
  ASSERT_EQ(Scan(core, fleet, subnet), connect::ConnectOutcome::kDevicesListed);
  const comm::CommState& state = core.comm.state();
  ASSERT_EQ(state.last_slot, kDevices - 1) << "the scan did not find every device";
  core.comm.EnterOnlineMode();
  core.comm.ReportLinkLoss(true);
  for (int slot = 0; slot < kDevices; ++slot) {
    ASSERT_TRUE(Open(core, fleet, slot)) << "device " << slot << " cannot be opened";
    // Only the editors stay open; the rest were opened once and closed again.
    if (slot >= kEditors) core.comm.state().table[slot].editor_open = false;
  }

  std::vector<std::unique_ptr<QTimer>> timers;
  std::vector<std::unique_ptr<meters::MeterPoll>> polls;
  for (int slot = 0; slot < kEditors; ++slot) {
    timers.push_back(std::make_unique<QTimer>());
    polls.push_back(
        std::make_unique<meters::MeterPoll>(core.comm, core.edits, slot, *timers.back()));
    polls.back()->Start();
  }
  core.comm.state().current_device = 0;
  core.comm.keep_alive().Start();

  std::mt19937 random(23);
  int edits_done = 0;
  int edits_failed = 0;
  QTimer edit_timer;
  QObject::connect(&edit_timer, &QTimer::timeout, [&] {
    const int slot = static_cast<int>(random() % kEditors);
    if (!state.table[slot].online || core.comm.Busy()) return;
    const int channel = static_cast<int>(random() % 2);
    const QString gain = QString::number(-20 + static_cast<int>(random() % 60) * 0.5);
    const model::EditOutcome out =
        core.edits.SetText({slot, model::ParamId::kGain, channel, -1}, gain);
    (out.status == model::EditStatus::kDone ? edits_done : edits_failed)++;
  });
  edit_timer.start(kEditMs);
  QTimer switch_timer;
  QObject::connect(&switch_timer, &QTimer::timeout, [&] {
    core.comm.state().current_device = static_cast<int16_t>((state.current_device + 1) % kEditors);
  });
  switch_timer.start(kSwitchEditorMs);

  // The event loop's longest stall, measured by a short timer, outside the killed devices' time.
  bool healthy = true;
  qint64 longest_stall = 0;
  QElapsedTimer probe_clock;
  probe_clock.start();
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const qint64 gap = probe_clock.restart() - kStallProbeMs;
    if (healthy) longest_stall = std::max(longest_stall, gap);
  });
  probe.start(kStallProbeMs);

  // Each killed device is down for a tenth of the run; once back, it is opened again.
  const Resident resident_before = ResidentKb();
  std::vector<long> own_by_tenths;  // the program's own memory at each tenth of the run
  QElapsedTimer run;
  run.start();
  const qint64 total_ms = seconds * 1000LL;
  const std::array<std::pair<double, int>, 4> schedule = {
      {{0.2, kKilled[0]}, {0.3, -kKilled[0] - 1}, {0.5, kKilled[1]}, {0.6, -kKilled[1] - 1}}};
  size_t next = 0;
  int reopen_failures = 0;
  int reopened = 0;
  // The emulated devices log every packet they hear, for tests that look; this one does not, and
  // the log is no part of the program's memory.
  QTimer forget;
  QObject::connect(&forget, &QTimer::timeout, [&fleet] {
    for (int n = 0; n < kDevices; ++n) fleet.Device(n).ClearReceived();
  });
  forget.start(5000);
  while (run.elapsed() < total_ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (run.elapsed() * 10 >= static_cast<qint64>(own_by_tenths.size() + 1) * total_ms) {
      own_by_tenths.push_back(ResidentKb().own);
    }
    if (next < schedule.size() && run.elapsed() >= schedule[next].first * total_ms) {
      const int n = schedule[next].second;
      if (n >= 0) {
        fleet.Kill(n);
        healthy = false;
      } else {
        ASSERT_GE(fleet.Start(-n - 1), 0);
      }
      ++next;
    }
    for (const int n : kKilled) {
      if (!state.table[n].online && next % 2 == 0 && !core.comm.Busy()) {
        ++(Open(core, fleet, n) ? reopened : reopen_failures);
        healthy = true;
      }
    }
  }
  edit_timer.stop();
  switch_timer.stop();
  forget.stop();
  probe.stop();
  core.comm.keep_alive().Stop();
  for (auto& timer : timers) timer->stop();
  // Settle: any device still off line is opened again, and only then are the memories compared.
  for (int slot = 0; slot < kDevices; ++slot) {
    if (!state.table[slot].online) {
      EXPECT_TRUE(Open(core, fleet, slot)) << slot;
    }
  }
  const Resident resident_after = ResidentKb();

  EXPECT_EQ(LostEdits(core, fleet), "") << "devices whose memory differs from the PC image";
  EXPECT_GT(edits_done, 0);
  EXPECT_EQ(reopened, static_cast<int>(kKilled.size())) << "a killed device was not noticed";
  // Filling the undo histories and the first run of each code path cost memory once, in the first
  // tenth; what grows after it is what a show-long session would keep growing.
  const long after_first_tenth = own_by_tenths.empty() ? 0 : resident_after.own - own_by_tenths[0];
  QStringList tenths;
  for (const long kb : own_by_tenths) tenths << QString::number(kb);
  std::printf(
      "[ soak ] %d s, %d devices, %d editors: %d edits done (%.1f/s), %d refused by a lost "
      "device, %d devices lost and opened again (%d retries); longest event-loop stall %lld ms\n"
      "[ soak ] resident memory %+ld kB (%ld -> %ld kB): its own %+ld kB, program and library "
      "pages %+ld kB; its own after the first tenth %+ld kB (kB by tenths: %s)\n",
      seconds, kDevices, kEditors, edits_done, edits_done * 1000.0 / total_ms, edits_failed,
      reopened, reopen_failures, static_cast<long long>(longest_stall),
      resident_after.total() - resident_before.total(), resident_before.total(),
      resident_after.total(), resident_after.own - resident_before.own,
      resident_after.mapped - resident_before.mapped, after_first_tenth,
      qPrintable(tenths.join(' ')));
}

}  // namespace
}  // namespace tessaly
