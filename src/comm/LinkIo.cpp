#include "comm/LinkIo.h"

#include <QAbstractSocket>
#include <QCoreApplication>
#include <QEventLoop>
#include <QIODevice>
#include <QSerialPort>
#include <QTimer>
#include <algorithm>

#include "comm/LineDescriptor.h"

namespace tessaly::comm {
namespace {

// A socket does not emit readyRead again while a handler of its readyRead runs, so the wait also
// wakes on this tick and looks for itself.
constexpr qint64 kWakeTickMs = 50;

// A device on a quiet line answers within a fraction of a millisecond. Waiting that long on the
// line itself spares the event loop's wake-ups, which cost a serial line a third of its exchange
// time; a reply still missing after it is awaited in the event loop, so the windows stay live.
constexpr int kDirectWaitMs = 2;

thread_local TimerForLoopWaits* innermost_timer = nullptr;

// A wait that ends early without data means the line went away, not that time ran out.
bool LineLost(QIODevice& io) {
  if (!io.isOpen()) return true;
  if (auto* socket = qobject_cast<QAbstractSocket*>(&io)) {
    return socket->state() != QAbstractSocket::ConnectedState;
  }
  if (auto* port = qobject_cast<QSerialPort*>(&io)) {
    return port->error() != QSerialPort::NoError && port->error() != QSerialPort::TimeoutError;
  }
  return false;
}

// Hands what is buffered to the line now, without a poll: true when something went.
bool FlushNow(QIODevice& io) {
  if (auto* socket = qobject_cast<QAbstractSocket*>(&io)) return socket->flush();
  if (auto* port = qobject_cast<QSerialPort*>(&io)) return port->flush();
  return io.waitForBytesWritten(0);
}

}  // namespace

void AwaitActivity(QIODevice& io, const QDeadlineTimer& deadline, bool writing) {
  const qint64 left = deadline.remainingTime();
  if (left == 0) return;
  const int wait_ms = static_cast<int>(left < 0 ? kWakeTickMs : std::min(left, kWakeTickMs));
  if (QCoreApplication::instance() == nullptr) {
    // No event loop to run (a bare tool or test): block instead.
    if (writing) {
      io.waitForBytesWritten(wait_ms);
    } else {
      io.waitForReadyRead(wait_ms);
    }
    return;
  }
  TimerForLoopWaits::LoopWaitBegins();
  // Runs the dispatcher itself rather than QEventLoop::exec, which returns at once for the rest
  // of the run once the application has been asked to quit.
  bool woken = false;
  const auto wake_up = [&woken] { woken = true; };
  QTimer wake;
  wake.setSingleShot(true);
  QObject::connect(&wake, &QTimer::timeout, &wake, wake_up);
  if (writing) {
    QObject::connect(&io, &QIODevice::bytesWritten, &wake, wake_up);
  } else {
    QObject::connect(&io, &QIODevice::readyRead, &wake, wake_up);
  }
  QObject::connect(&io, &QIODevice::aboutToClose, &wake, wake_up);
  if (auto* socket = qobject_cast<QAbstractSocket*>(&io)) {
    QObject::connect(socket, &QAbstractSocket::disconnected, &wake, wake_up);
    QObject::connect(socket, &QAbstractSocket::errorOccurred, &wake, wake_up);
  } else if (auto* port = qobject_cast<QSerialPort*>(&io)) {
    QObject::connect(port, &QSerialPort::errorOccurred, &wake, wake_up);
  }
  wake.start(wait_ms);
  QEventLoop loop;
  while (!woken) {
    loop.processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
  }
}

TimerForLoopWaits::TimerForLoopWaits(QTimer& timer, int ms)
    : timer_(timer), ms_(ms), outer_(innermost_timer) {
  since_.start();
  innermost_timer = this;
}

TimerForLoopWaits::~TimerForLoopWaits() {
  innermost_timer = outer_;
  if (started_) timer_.stop();
}

void TimerForLoopWaits::LoopWaitBegins() {
  TimerForLoopWaits* waits = innermost_timer;
  if (waits == nullptr || waits->started_) return;
  waits->started_ = true;
  waits->timer_.start(static_cast<int>(std::max<qint64>(waits->ms_ - waits->since_.elapsed(), 0)));
}

void DiscardStale(QIODevice& io) {
  LineDescriptor line(io);
  if (line.valid()) {
    if (io.bytesAvailable() > 0) io.readAll();
    // One read that finds nothing is the whole check on a clean line.
    char sink[512];
    qint64 count = 0;
    while ((count = line.ReadNow(sink, sizeof sink)) > 0) {
    }
    if (count == 0) return;
    // An end or an error: Qt's own read below finds it.
  }
  // waitForReadyRead(0) pulls what the OS already holds into Qt's buffer without blocking.
  io.waitForReadyRead(0);
  while (io.bytesAvailable() > 0) {
    io.readAll();
    io.waitForReadyRead(0);
  }
}

void SettleLine(QIODevice& io, int quiet_ms) {
  constexpr int kMostWindows = 4;
  const QDeadlineTimer limit(static_cast<qint64>(quiet_ms) * kMostWindows);
  QDeadlineTimer quiet(quiet_ms);
  while (!quiet.hasExpired() && !limit.hasExpired()) {
    AwaitActivity(io, std::min(quiet, limit));
    if (!io.isOpen()) return;
    if (io.bytesAvailable() > 0 || io.waitForReadyRead(0)) {
      DiscardStale(io);
      quiet = QDeadlineTimer(quiet_ms);
    }
  }
}

bool SendAll(QIODevice& io, const QByteArray& packet, const QDeadlineTimer& deadline) {
  qint64 written = 0;
  if (const LineDescriptor line(io); line.valid() && io.bytesToWrite() == 0) {
    // Straight to the line: Qt would buffer the packet and switch its write notifier on and off.
    written = std::max<qint64>(line.WriteNow(packet.constData(), packet.size()), 0);
    if (written == packet.size()) return true;
  }
  const qint64 rest = packet.size() - written;
  if (io.write(packet.constData() + written, rest) != rest) return false;
  while (io.bytesToWrite() > 0) {
    if (deadline.hasExpired() || LineLost(io)) return false;
    // A line with room takes the packet at once; only a full one waits in the event loop.
    if (FlushNow(io)) continue;
    AwaitActivity(io, deadline, true);
  }
  return true;
}

int ReceiveExactly(QIODevice& io, QByteArray& reply, int awaited, const QDeadlineTimer& deadline,
                   QByteArray* beyond, bool* dry) {
  reply.clear();
  if (dry != nullptr) *dry = false;
  LineDescriptor line(io);
  const qint64 ahead = beyond != nullptr ? kReadAhead : 0;
  while (reply.size() < awaited) {
    if (io.bytesAvailable() > 0) {
      reply.append(io.read(awaited - reply.size()));
      if (dry != nullptr) *dry = false;
      continue;
    }
    if (LineLost(io)) {
      reply.clear();
      return kReceiveClosed;
    }
    if (deadline.hasExpired()) break;
    const qint64 left = deadline.remainingTime();
    const int direct_ms =
        left < 0 ? kDirectWaitMs : static_cast<int>(std::min<qint64>(left, kDirectWaitMs));
    if (line.valid()) {
      // What this reply still lacks, and what follows it only for a caller who keeps that.
      const qsizetype had = reply.size();
      const qint64 lacking = awaited - had;
      reply.resize(awaited + ahead);
      const qint64 count = line.ReadWithin(reply.data() + had, lacking + ahead, direct_ms);
      const qint64 got = std::max<qint64>(count, 0);
      if (got > lacking) beyond->append(reply.constData() + awaited, got - lacking);
      reply.resize(had + std::min(got, lacking));
      if (count != 0) {
        if (dry != nullptr) *dry = got < lacking + ahead;
        // At an end or an error Qt's own read takes over and marks the line.
        if (count < 0) line.Drop();
        continue;
      }
    } else if (io.waitForReadyRead(direct_ms)) {
      continue;
    }
    AwaitActivity(io, deadline);
  }
  if (reply.size() == awaited) return kReceiveOk;
  reply.clear();
  return kReceiveTimeout;
}

}  // namespace tessaly::comm
