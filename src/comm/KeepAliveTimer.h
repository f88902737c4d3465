#pragma once

#include <QObject>
#include <QTimer>

namespace tessaly::comm {

class Comm;

// The keep-alive's schedule: the first round a while after the device list has filled (the
// devices are still busy with the connect), then one round a second. A tick while a hold is
// raised or off-line mode is on does nothing and keeps the interval it had.
class KeepAliveTimer : public QObject {
  Q_OBJECT

 public:
  static constexpr int kFirstMs = 4000;
  static constexpr int kIntervalMs = 1000;

  explicit KeepAliveTimer(Comm& comm, QObject* parent = nullptr);

  // Starts the schedule unless it runs already.
  void Start();
  void Stop();
  bool IsRunning() const { return timer_.isActive(); }
  int interval() const { return timer_.interval(); }

 private:
  void OnTick();

  Comm& comm_;
  QTimer timer_;
};

}  // namespace tessaly::comm
