#include "comm/KeepAliveTimer.h"

#include "comm/Comm.h"
#include "comm/TimeScale.h"

namespace tessaly::comm {

KeepAliveTimer::KeepAliveTimer(Comm& comm, QObject* parent) : QObject(parent), comm_(comm) {
  timer_.setObjectName(QStringLiteral("keepAliveTimer"));
  connect(&timer_, &QTimer::timeout, this, &KeepAliveTimer::OnTick);
}

void KeepAliveTimer::Start() {
  if (!timer_.isActive()) timer_.start(ScaledMs(kFirstMs));
}

void KeepAliveTimer::Stop() { timer_.stop(); }

void KeepAliveTimer::OnTick() {
  if (comm_.keep_alive_held() || !comm_.online_mode()) return;
  comm_.KeepAliveTick();
  timer_.setInterval(ScaledMs(kIntervalMs));
}

}  // namespace tessaly::comm
