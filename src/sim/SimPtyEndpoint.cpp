#include "sim/SimPtyEndpoint.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "device/DeviceTypes.h"

namespace tessaly::sim {
namespace {

int BaudOf(speed_t speed) {
  switch (speed) {
    case B1200:
      return 1200;
    case B2400:
      return 2400;
    case B4800:
      return 4800;
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B38400:
      return 38400;
    case B57600:
      return 57600;
    case B115200:
      return 115200;
    case B230400:
      return 230400;
    default:
      return 0;
  }
}

// Bytes are handed on in groups, as a UART's FIFO does, rather than waking for every one of them
// (a byte every 174 us at 57600 baud); the last byte of a burst still goes on the moment it is
// through.
constexpr std::chrono::microseconds kGather{1000};

QString ErrnoText(const char* what) {
  return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
}

}  // namespace

SimPtyEndpoint::SimPtyEndpoint(std::shared_ptr<SimDevice> device, QString label, SimTrace trace,
                               QObject* parent)
    : SimEndpoint(std::move(device), std::move(label), std::move(trace), parent) {}

SimPtyEndpoint::~SimPtyEndpoint() {
  // Remove our link only while it still points at our line, not at a newer emulator's.
  if (!link_path_.isEmpty() && QFileInfo(link_path_).symLinkTarget() == SlaveName()) {
    QFile::remove(link_path_);
  }
  ClosePty();
}

bool SimPtyEndpoint::Open(const QString& link_path, QString* error) {
  link_path_ = link_path;
  if (!OpenPty(error)) return false;
  if (link_path_.isEmpty()) return true;
  QDir().mkpath(QFileInfo(link_path_).absolutePath());
  QFile::remove(link_path_);
  if (!QFile::link(SlaveName(), link_path_)) {
    if (error) *error = QStringLiteral("cannot create the link %1").arg(link_path_);
    ClosePty();
    return false;
  }
  return true;
}

bool SimPtyEndpoint::OpenPty(QString* error) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master < 0) {
    if (error) *error = ErrnoText("posix_openpt");
    return false;
  }
  if (grantpt(master) != 0 || unlockpt(master) != 0) {
    if (error) *error = ErrnoText("grantpt/unlockpt");
    close(master);
    return false;
  }
  char name[128] = {};
  if (ptsname_r(master, name, sizeof name) != 0) {
    if (error) *error = ErrnoText("ptsname");
    close(master);
    return false;
  }
  const int slave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0) {
    if (error) *error = ErrnoText("open slave");
    close(master);
    return false;
  }
  // Raw, so nothing is echoed back before the PC configures the line; the speed stays at the
  // driver's default, which no device type uses.
  termios settings{};
  if (tcgetattr(slave, &settings) == 0) {
    cfmakeraw(&settings);
    tcsetattr(slave, TCSANOW, &settings);
  }
  {
    std::lock_guard lock(mutex_);
    master_fd_ = master;
    slave_fd_ = slave;
    slave_name_ = QString::fromLocal8Bit(name);
  }
  framer_.Clear();
  outgoing_.clear();
  if (hearing_) hearing_->Clear();
  if (speaking_) speaking_->Clear();
  read_notifier_ = std::make_unique<QSocketNotifier>(master_fd_, QSocketNotifier::Read);
  connect(read_notifier_.get(), &QSocketNotifier::activated, this, &SimPtyEndpoint::Read);
  write_notifier_ = std::make_unique<QSocketNotifier>(master_fd_, QSocketNotifier::Write);
  write_notifier_->setEnabled(false);
  connect(write_notifier_.get(), &QSocketNotifier::activated, this, &SimPtyEndpoint::Flush);
  return true;
}

void SimPtyEndpoint::ClosePty() {
  read_notifier_.reset();
  write_notifier_.reset();
  std::lock_guard lock(mutex_);
  if (master_fd_ >= 0) close(master_fd_);
  if (slave_fd_ >= 0) close(slave_fd_);
  master_fd_ = -1;
  slave_fd_ = -1;
}

QString SimPtyEndpoint::SlaveName() const {
  std::lock_guard lock(mutex_);
  return slave_name_;
}

QString SimPtyEndpoint::Path() const { return link_path_.isEmpty() ? SlaveName() : link_path_; }

QString SimPtyEndpoint::Where() const {
  if (link_path_.isEmpty()) return QStringLiteral("pty %1").arg(SlaveName());
  return QStringLiteral("pty %1 -> %2").arg(link_path_, SlaveName());
}

int SimPtyEndpoint::LineSpeed() const {
  termios settings{};
  std::lock_guard lock(mutex_);
  if (slave_fd_ < 0 || tcgetattr(slave_fd_, &settings) != 0) return 0;
  return BaudOf(cfgetospeed(&settings));
}

void SimPtyEndpoint::Read() {
  QByteArray bytes;
  char chunk[512];
  for (;;) {
    const ssize_t count = read(master_fd_, chunk, sizeof chunk);
    if (count > 0) {
      bytes.append(chunk, count);
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    break;
  }
  if (bytes.isEmpty()) return;
  const int speed = LineSpeed();
  const int expected = device::BaudRate(device_->type());
  if (speed != expected) {
    // At the wrong speed the device hears only noise; it also forgets any half packet.
    Trace(QStringLiteral("ignored %1 byte(s) at %2 baud (device runs at %3)")
              .arg(bytes.size())
              .arg(speed)
              .arg(expected));
    framer_.Clear();
    return;
  }
  if (hearing_) {
    hearing_->Push(bytes, WirePacer::Clock::now());
    Pace();
    return;
  }
  Consume(
      framer_, bytes, this, [this](const QByteArray& reply) { Write(reply); },
      [this](qsizetype sent) { ReplugAfter(sent); });
}

void SimPtyEndpoint::Write(const QByteArray& bytes) {
  if (speaking_) {
    speaking_->Push(bytes, WirePacer::Clock::now());
    Pace();
    return;
  }
  outgoing_.append(bytes);
  Flush();
}

void SimPtyEndpoint::SetWirePaced(bool paced) {
  if (!paced) {
    hearing_.reset();
    speaking_.reset();
    return;
  }
  const int baud = device::BaudRate(device_->type());
  hearing_.emplace(baud);
  speaking_.emplace(baud);
  if (pace_alarm_ == nullptr) {
    pace_alarm_ = new WireAlarm(this);
    connect(pace_alarm_, &WireAlarm::rang, this, &SimPtyEndpoint::Pace);
  }
}

void SimPtyEndpoint::Pace() {
  const WirePacer::Clock::time_point now = WirePacer::Clock::now();
  const QByteArray heard = hearing_->TakeDue(now);
  if (!heard.isEmpty()) {
    Consume(
        framer_, heard, this, [this](const QByteArray& reply) { Write(reply); },
        [this](qsizetype sent) { ReplugAfter(sent); });
  }
  const QByteArray said = speaking_->TakeDue(now);
  if (!said.isEmpty()) {
    outgoing_.append(said);
    Flush();
  }
  std::optional<WirePacer::Clock::time_point> next = hearing_->NextHandover(kGather);
  if (const auto out = speaking_->NextHandover(kGather); out && (!next || *out < *next)) {
    next = out;
  }
  if (next) pace_alarm_->Start(*next);
}

void SimPtyEndpoint::Flush() {
  while (!outgoing_.isEmpty() && master_fd_ >= 0) {
    const ssize_t count = write(master_fd_, outgoing_.constData(), outgoing_.size());
    if (count > 0) {
      outgoing_.remove(0, count);
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    break;
  }
  if (write_notifier_) write_notifier_->setEnabled(!outgoing_.isEmpty());
}

void SimPtyEndpoint::ReplugAfter(qsizetype sent) {
  if (sent <= 0) {
    QTimer::singleShot(0, this, &SimPtyEndpoint::Replug);
    return;
  }
  // Ten bits a byte on the wire, and a little while for the PC to take them off the line.
  constexpr int kReadMarginMs = 50;
  const int baud = std::max(device::BaudRate(device_->type()), 1);
  const int wire_ms = static_cast<int>(sent * 10 * 1000 / baud) + 1;
  QTimer::singleShot(wire_ms + kReadMarginMs, this, &SimPtyEndpoint::Replug);
}

void SimPtyEndpoint::Replug() {
  const QString old_name = SlaveName();
  ClosePty();
  QString error;
  if (!OpenPty(&error)) {
    Trace(QStringLiteral("cannot come back after the drop: %1").arg(error));
    return;
  }
  if (!link_path_.isEmpty()) {
    QFile::remove(link_path_);
    QFile::link(SlaveName(), link_path_);
  }
  Trace(QStringLiteral("line dropped; back on %1 (was %2)").arg(SlaveName(), old_name));
}

}  // namespace tessaly::sim
