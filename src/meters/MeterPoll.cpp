#include "meters/MeterPoll.h"

#include <QTimer>

#include "comm/Comm.h"
#include "comm/TimeScale.h"
#include "device/Commands.h"
#include "model/EditPath.h"
#include "model/ParameterDescriptor.h"

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
  return !comm_.Busy() && !state.table.device_needs_read[static_cast<size_t>(slot_)] &&
         state.table[slot_].editor_open && !comm_.keep_alive_held();
}

void MeterPoll::Tick() {
  comm::CommState& state = comm_.state();
  if (state.current_device != slot_) return;
  if (MayExchange()) {
    const comm::ExchangeResult polled = comm_.Exchange(slot_, device::kCmdMeters);
    // A lost reply took the link-loss path; the display keeps what it showed.
    if (polled.loss_reported() || polled.status() == comm::ExchangeStatus::kSendFailed) return;
    if (!state.table[slot_].online) {
      (void)Show(protocol::DemoMeterReply(state.table.device_type[static_cast<size_t>(slot_)]));
    } else if (polled.answered() && Show(polled.Bytes())) {
      FollowStandby(reading_.standby);
    }
  }
  Rearm();
}

bool MeterPoll::Show(std::span<const uint8_t> reply) {
  const int type = comm_.state().table.device_type[static_cast<size_t>(slot_)];
  const std::optional<protocol::MeterReading> reading = protocol::DecodeMeterReply(reply, type);
  if (!reading) return false;
  reading_ = *reading;
  has_reading_ = true;
  sleep_shown_ = reading->sleep && !sleep_shown_;
  emit readingChanged();
  return true;
}

void MeterPoll::FollowStandby(bool standby) {
  const model::EditTarget target{slot_, model::ParamId::kStandby, -1, -1};
  const int index = standby ? 1 : 0;
  if (edits_.Index(target) == index) return;
  // The device changed it; the editor only shows it, nothing goes back.
  const comm::TransferLock lock(comm_);
  (void)edits_.SetIndex(target, index);
}

void MeterPoll::Rearm() {
  const int interval = comm::ScaledMs(kPollMs);
  if (timer_.interval() != interval) timer_.setInterval(interval);
}

}  // namespace tessaly::meters
