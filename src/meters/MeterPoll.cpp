#include "meters/MeterPoll.h"

#include <QTimer>
#include <span>

#include "comm/Comm.h"
#include "comm/TimeScale.h"
#include "device/Commands.h"
#include "model/EditPath.h"
#include "model/ParameterDescriptor.h"
#include "programs/TransferLockGuard.h"

namespace tessaly::meters {

MeterPoll::MeterPoll(comm::Comm& comm, model::EditPath& edits, int slot, QTimer& timer,
                     QObject* parent)
    : QObject(parent), comm_(comm), edits_(edits), slot_(slot), timer_(timer) {
  connect(&timer_, &QTimer::timeout, this, &MeterPoll::Tick);
}

void MeterPoll::Start() {
  timer_.setInterval(comm::ScaledMs(kFirstPollMs));
  timer_.start();
}

bool MeterPoll::MayExchange() const {
  const comm::CommState& state = comm_.state();
  return state.tx_idle && !state.table.device_needs_read[static_cast<size_t>(slot_)] &&
         state.table[slot_].editor_open && !state.keep_alive_hold;
}

void MeterPoll::Tick() {
  comm::CommState& state = comm_.state();
  if (state.current_device != slot_) return;
  if (MayExchange()) {
    const comm::CommandOutcome outcome = comm_.SendCommand(slot_, device::kCmdMeters);
    // A lost reply took the link-loss path; the display keeps what it showed.
    if (outcome.result != 0) return;
    const int type = state.table.device_type[static_cast<size_t>(slot_)];
    const bool demo = !state.table[slot_].online;
    std::optional<protocol::MeterReading> reading;
    if (demo) {
      reading = protocol::DecodeMeterReply(protocol::DemoMeterReply(type), type);
    } else if (outcome.answered) {
      reading = protocol::DecodeMeterReply(std::span<const uint8_t>(state.rx_buffer), type);
    }
    if (reading) {
      Follow(*reading);
      if (!demo) FollowStandby(reading->standby);
    }
  }
  Rearm();
}

void MeterPoll::Follow(const protocol::MeterReading& reading) {
  reading_ = reading;
  has_reading_ = true;
  sleep_shown_ = reading.sleep && !sleep_shown_;
  emit ReadingChanged();
}

void MeterPoll::FollowStandby(bool standby) {
  const model::EditTarget target{slot_, model::FindParameter(QStringLiteral("standby")), -1, -1};
  const int index = standby ? 1 : 0;
  if (target.parameter == nullptr || edits_.Index(target) == index) return;
  // The device changed it; the editor only shows it, nothing goes back.
  const programs::TransferLockGuard lock(comm_.state());
  (void)edits_.SetIndex(target, index);
}

void MeterPoll::Rearm() {
  const int interval = comm::ScaledMs(kPollMs);
  if (timer_.interval() != interval) timer_.setInterval(interval);
}

}  // namespace tessaly::meters
