#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "comm/Packet.h"
#include "comm/ReplyWaits.h"
#include "comm/TimeScale.h"
#include "connect/DeviceList.h"
#include "device/Commands.h"
#include "reliability/MatrixRig.h"
#include "reliability/Sequences.h"

namespace tessaly::reliability {
namespace {

enum class FaultKind {
  kNone,
  kSilent,
  kSilentAfter,
  kLate,
  kTruncated,
  kGarbage,
  kCut,
  kDrop,
  kLateIntoNext
};

struct Fault {
  FaultKind kind = FaultKind::kNone;
  int n = 0;  // silent after n replies; cut after n bytes
  std::string Name() const {
    switch (kind) {
      case FaultKind::kNone:
        return "none";
      case FaultKind::kSilent:
        return "silent";
      case FaultKind::kSilentAfter:
        return "silent-after=" + std::to_string(n);
      case FaultKind::kLate:
        return "late";
      case FaultKind::kTruncated:
        return "truncate=7";
      case FaultKind::kGarbage:
        return "garbage=6";
      case FaultKind::kCut:
        return "cut=" + std::to_string(n);
      case FaultKind::kDrop:
        return "drop";
      case FaultKind::kLateIntoNext:
        return "late-into-next";
    }
    return {};
  }
};

// The wait of the sequence's first request: a late answer just beyond it comes during the next.
int FirstWaitMs(const sim::SimDevice& device) {
  const QList<QByteArray> heard = device.ReceivedPackets();
  if (heard.isEmpty()) return comm::ScaledMs(comm::kDefaultWaitMs);
  const QByteArray& first = heard.front();
  const comm::ReplyClass reply = comm::ClassifyReply(static_cast<uint8_t>(first[3]),
                                                     static_cast<uint8_t>(first[6]), device.type());
  return comm::ScaledMs(reply.wait_limit_ms > 0 ? reply.wait_limit_ms : comm::kDefaultWaitMs);
}

sim::SimFaults FaultsFor(const Fault& fault, int first_wait_ms) {
  sim::SimFaults faults;
  switch (fault.kind) {
    case FaultKind::kNone:
      break;
    case FaultKind::kSilent:
      faults.silent = true;
      break;
    case FaultKind::kSilentAfter:
      faults.silent_after = fault.n;
      break;
    case FaultKind::kLate:
      faults.delay_ms = comm::ScaledMs(comm::kLongWaitMs) * 5 / 4;
      break;
    case FaultKind::kTruncated:
      faults.truncate = 7;
      break;
    case FaultKind::kGarbage:
      faults.garbage = 6;
      break;
    case FaultKind::kCut:
      faults.cut = fault.n;
      break;
    case FaultKind::kDrop:
      faults.drop_after_ms = 0;
      faults.drop_for_ms = comm::ScaledMs(comm::kLongWaitMs) * 2;
      break;
    case FaultKind::kLateIntoNext:
      faults.delay_ms = first_wait_ms + first_wait_ms / 4;
      break;
  }
  return faults;
}

// Lets the event loop run for a while (the emulator answers on its own thread either way).
void Idle(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
}

struct Tally {
  int run = 0;
  int passed = 0;
};

std::string LineName(Line line) { return line == Line::kTcp ? "tcp" : "pty"; }

// The address of each sequence's devices: one per test process, so parallel runs never meet.
QString AddressOf(int sequence_index) {
  return QStringLiteral("127.0.0.%1").arg(180 + sequence_index);
}

class FaultMatrix : public testing::TestWithParam<int> {};

// The clean run counts the sequence's exchanges; the fault cells then hit the first, middle and
// last of them and two seeded random ones, besides the faults that act on every reply.
std::vector<Fault> FaultsOf(int exchanges, std::mt19937& random) {
  std::vector<Fault> faults = {{FaultKind::kSilent},    {FaultKind::kLate},
                               {FaultKind::kTruncated}, {FaultKind::kGarbage},
                               {FaultKind::kCut, 6},    {FaultKind::kCut, 0},
                               {FaultKind::kDrop},      {FaultKind::kLateIntoNext}};
  std::vector<int> after = {0, exchanges / 2, exchanges - 1};
  std::uniform_int_distribution<int> pick(0, std::max(exchanges - 1, 0));
  after.push_back(pick(random));
  after.push_back(pick(random));
  std::sort(after.begin(), after.end());
  after.erase(std::unique(after.begin(), after.end()), after.end());
  for (const int n : after) faults.push_back({FaultKind::kSilentAfter, n});
  return faults;
}

// One cell: fresh core and device, the fault, the sequence, then the judgement.
bool RunCell(const Sequence& sequence, int index, Line line, const Fault& fault, int* exchanges,
             int* first_wait_ms) {
  SCOPED_TRACE(std::string(sequence.name) + " over " + LineName(line) + ", " + fault.Name());
  MatrixRig rig(line, sequence.type, AddressOf(index));
  if (!rig.Start(sequence.registered, sequence.programs)) {
    ADD_FAILURE() << "the device did not start";
    return false;
  }
  if (sequence.prepare) sequence.prepare(rig);
  rig.device->ClearReceived();
  rig.device->SetFaults(FaultsFor(fault, *first_wait_ms));
  const int failures_before =
      testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();

  QElapsedTimer clock;
  clock.start();
  const bool ok = sequence.run(rig);
  const qint64 took = clock.elapsed();
  const int heard = rig.device->ReceivedCount();
  if (fault.kind == FaultKind::kNone) {
    *exchanges = heard;
    *first_wait_ms = FirstWaitMs(*rig.device);
    EXPECT_TRUE(ok) << "the sequence fails without a fault";
  }
  // No hang: at most one full wait per request heard, and a little for the rest.
  const qint64 bound = (heard + 1) * comm::ScaledMs(comm::kLongWaitMs) + 3000;
  EXPECT_LE(took, bound) << "the sequence hung";
  EXPECT_EQ(rig.RepeatedMessage(), QString()) << "a message was shown twice";
  EXPECT_LE(rig.LossMessages(), 1);
  const comm::CommState& state = rig.comm.state();
  if (sequence.registered) {
    if (ok && sequence.keeps_image) {
      EXPECT_EQ(rig.ImageDifference(), "");
    }
    // A sequence that stops part-way must have said so, and the device is read again before
    // anything else is edited, so a difference cannot go unnoticed.
    if (!ok && rig.LossMessages() == 1) {
      EXPECT_FALSE(state.table[rig.slot].online);
      EXPECT_TRUE(state.table.device_needs_read[rig.slot]);
    }
  }

  if (fault.kind == FaultKind::kDrop) Idle(comm::ScaledMs(comm::kLongWaitMs) * 2);
  // A device that dropped its line is back a moment later (a pseudo-terminal is plugged anew).
  if (fault.kind == FaultKind::kCut) Idle(200);
  // A device answers in order: what it owes from a late answer goes out before anything new, so it
  // is let finish as a user waits before trying again.
  if (fault.kind == FaultKind::kLate || fault.kind == FaultKind::kLateIntoNext) {
    Idle(FaultsFor(fault, *first_wait_ms).delay_ms);
  }
  // The device is opened again as the device list does it (a new link when the old one is gone,
  // a read-out that brings the PC in line), and the next exchange gets its own answer.
  if (sequence.registered) {
    rig.device->ClearFaults();
    if (state.table.device_needs_read[rig.slot]) {
      rig.comm.state().table[rig.slot].editor_open = false;
      connect::DeviceList list(rig.context);
      EXPECT_EQ(list.OpenDevice(rig.slot, {}).outcome, connect::OpenOutcome::kReady);
      EXPECT_EQ(rig.ImageDifference(), "") << "the read-out left the PC apart from the device";
    }
    const comm::ExchangeResult identify = rig.comm.Exchange(rig.slot, device::kCmdIdentify);
    EXPECT_TRUE(identify.answered());
    EXPECT_EQ(identify.Byte(3), device::kCmdIdentify);
    EXPECT_EQ(identify.Byte(8), sequence.type);
    const comm::ExchangeResult versions = rig.comm.Exchange(rig.slot, device::kCmdVersions);
    EXPECT_TRUE(versions.answered());
    EXPECT_EQ(versions.Byte(3), device::kCmdVersions);
    EXPECT_EQ(versions.Byte(9), rig.device->Versions().second[2]);
  } else {
    rig.device->ClearFaults();
    Idle(fault.kind == FaultKind::kDrop ? 0 : *first_wait_ms * 2);
    EXPECT_TRUE(sequence.run(rig)) << "the sequence fails after the fault is gone";
  }
  const int failures_after =
      testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
  return failures_after == failures_before;
}

TEST_P(FaultMatrix, EveryFaultEndsCleanly) {
  qputenv("TESSALY_TIME_SCALE", "0.05");
  const int index = GetParam();
  const Sequence& sequence = Sequences()[static_cast<size_t>(index)];
  std::mt19937 random(1000 + index);
  Tally tally;
  for (const Line line : sequence.lines) {
    int exchanges = 0;
    int first_wait_ms = 0;
    ++tally.run;
    if (RunCell(sequence, index, line, {}, &exchanges, &first_wait_ms)) ++tally.passed;
    ASSERT_GT(exchanges, 0) << sequence.name << " sends nothing";
    for (const Fault& fault : FaultsOf(exchanges, random)) {
      ++tally.run;
      if (RunCell(sequence, index, line, fault, &exchanges, &first_wait_ms)) ++tally.passed;
    }
  }
  std::printf("[ matrix ] %s: %d cells run, %d passed\n", sequence.name, tally.run, tally.passed);
}

std::string SequenceName(const testing::TestParamInfo<int>& info) {
  std::string name = Sequences()[static_cast<size_t>(info.param)].name;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Sequences, FaultMatrix,
                         testing::Range(0, static_cast<int>(Sequences().size())), SequenceName);

}  // namespace
}  // namespace tessaly::reliability
