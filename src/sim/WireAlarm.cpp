#include "sim/WireAlarm.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>

#ifdef __linux__
#include <sys/timerfd.h>
#include <unistd.h>

#include <ctime>
#endif

namespace tessaly::sim {

WireAlarm::WireAlarm(QObject* parent) : QObject(parent) {
#ifdef __linux__
  // The steady clock counts on CLOCK_MONOTONIC here, so its readings arm the timer as they are.
  timer_fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timer_fd_ >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(timer_fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &WireAlarm::Drain);
    return;
  }
#endif
  fallback_ = new QTimer(this);
  fallback_->setSingleShot(true);
  fallback_->setTimerType(Qt::PreciseTimer);
  connect(fallback_, &QTimer::timeout, this, &WireAlarm::rang);
}

WireAlarm::~WireAlarm() {
  notifier_.reset();
#ifdef __linux__
  if (timer_fd_ >= 0) close(timer_fd_);
#endif
}

void WireAlarm::Start(WirePacer::Clock::time_point when) {
#ifdef __linux__
  if (timer_fd_ >= 0) {
    using namespace std::chrono;
    // A zero setting would disarm the timer instead of ringing.
    const auto since = std::max(duration_cast<nanoseconds>(when.time_since_epoch()), 1ns);
    itimerspec setting{};
    setting.it_value.tv_sec = static_cast<time_t>(duration_cast<seconds>(since).count());
    setting.it_value.tv_nsec = static_cast<long>((since % 1s).count());
    timerfd_settime(timer_fd_, TFD_TIMER_ABSTIME, &setting, nullptr);
    return;
  }
#endif
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(when - WirePacer::Clock::now());
  fallback_->start(std::max(wait, std::chrono::milliseconds(0)));
}

void WireAlarm::Drain() {
#ifdef __linux__
  uint64_t expirations = 0;
  if (read(timer_fd_, &expirations, sizeof expirations) != sizeof expirations) return;
#endif
  emit rang();
}

}  // namespace tessaly::sim
