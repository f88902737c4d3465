#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

class QTcpSocket;

namespace tessaly::comm {

enum class ScanResult { kAccepted, kRefused, kTimedOut };

struct ScanAnswer {
  QString address;
  ScanResult result = ScanResult::kTimedOut;
};

// Tries a connection to every address at once inside the event loop and reports, in the order
// given, how each attempt ended once all have ended or the wait is over. Keeps no connection: a
// device is connected again on its own slot afterwards.
class TcpScan : public QObject {
  Q_OBJECT

 public:
  explicit TcpScan(QObject* parent = nullptr);
  ~TcpScan() override;

  void Start(const QStringList& addresses, quint16 port, int wait_ms);
  // Drops every attempt at once; Finished does not come.
  void Cancel();
  bool running() const { return running_; }

 signals:
  void finished(const QList<tessaly::comm::ScanAnswer>& answers);

 private:
  void Settle(size_t index, ScanResult result);
  void Finish();
  void DropSockets();

  std::vector<std::unique_ptr<QTcpSocket>> sockets_;
  QList<ScanAnswer> answers_;
  std::vector<bool> settled_;
  int pending_ = 0;
  bool running_ = false;
  QTimer deadline_;
};

}  // namespace tessaly::comm
