#pragma once

#include <QObject>
#include <span>

#include "protocol/MeterReading.h"

class QTimer;

namespace tessaly::comm {
class Comm;
}
namespace tessaly::model {
class EditPath;
}

namespace tessaly::meters {

inline constexpr int kFirstPollMs = 2000;
inline constexpr int kPollMs = 80;

// The meter poll of one editor window, run by the window's own timer. Only the window of the
// current device polls; the others keep their last display. The views follow ReadingChanged.
class MeterPoll : public QObject {
  Q_OBJECT

 public:
  MeterPoll(comm::Comm& comm, model::EditPath& edits, int slot, QTimer& timer,
            QObject* parent = nullptr);

  // The first tick comes after two seconds, every further one 80 ms after the last.
  void Start();
  void Tick();
  // Shows a meter reply as a tick does after its exchange; false (nothing changes) when the reply
  // cannot be read.
  bool Show(std::span<const uint8_t> reply);

  int slot() const { return slot_; }
  bool has_reading() const { return has_reading_; }
  const protocol::MeterReading& reading() const { return reading_; }
  // The "Sleeping" label blinks: it flips on every tick while the device sleeps.
  bool sleep_shown() const { return sleep_shown_; }

 signals:
  void readingChanged();

 private:
  bool MayExchange() const;
  void FollowStandby(bool standby);
  void Rearm();

  comm::Comm& comm_;
  model::EditPath& edits_;
  int slot_;
  QTimer& timer_;
  protocol::MeterReading reading_{};
  bool has_reading_ = false;
  bool sleep_shown_ = false;
};

}  // namespace tessaly::meters
