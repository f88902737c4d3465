#pragma once

#include <QObject>
#include <memory>

#include "sim/WirePacer.h"

class QSocketNotifier;
class QTimer;

namespace tessaly::sim {

// Rings once at a moment on the steady clock. A millisecond timer is too coarse for a paced line:
// at 57600 baud a byte takes 174 us, and rounding each wait up to the next millisecond made every
// request reach the device, and every reply the PC, most of a millisecond late. Where the system
// has a kernel timer with a finer step it is used; elsewhere a millisecond timer stands in.
class WireAlarm : public QObject {
  Q_OBJECT

 public:
  explicit WireAlarm(QObject* parent = nullptr);
  ~WireAlarm() override;

  // Replaces any earlier setting; a moment already past rings at once.
  void Start(WirePacer::Clock::time_point when);

 signals:
  void rang();

 private:
  void Drain();

  int timer_fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer* fallback_ = nullptr;
};

}  // namespace tessaly::sim
