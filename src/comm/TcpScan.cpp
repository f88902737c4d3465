#include "comm/TcpScan.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace tessaly::comm {

TcpScan::TcpScan(QObject* parent) : QObject(parent) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, &TcpScan::Finish);
}

TcpScan::~TcpScan() { DropSockets(); }

void TcpScan::Start(const QStringList& addresses, quint16 port, int wait_ms) {
  Cancel();
  running_ = true;
  answers_.clear();
  settled_.assign(static_cast<size_t>(addresses.size()), false);
  pending_ = static_cast<int>(addresses.size());
  for (const QString& address : addresses) answers_.append({address, ScanResult::kTimedOut});
  for (size_t i = 0; i < settled_.size(); ++i) {
    const QHostAddress host(addresses[static_cast<qsizetype>(i)]);
    auto socket = std::make_unique<QTcpSocket>();
    QTcpSocket* raw = socket.get();
    sockets_.push_back(std::move(socket));
    connect(raw, &QTcpSocket::connected, this, [this, i] { Settle(i, ScanResult::kAccepted); });
    connect(raw, &QTcpSocket::errorOccurred, this, [this, i] { Settle(i, ScanResult::kRefused); });
    // Only numeric addresses: a host name would start a lookup the scan cannot bound.
    if (host.protocol() != QAbstractSocket::IPv4Protocol) {
      Settle(i, ScanResult::kRefused);
      continue;
    }
    raw->connectToHost(host, port);
  }
  if (!running_) return;  // every address settled at once
  deadline_.start(wait_ms);
}

void TcpScan::Settle(size_t index, ScanResult result) {
  if (!running_ || index >= settled_.size() || settled_[index]) return;
  settled_[index] = true;
  answers_[static_cast<qsizetype>(index)].result = result;
  if (--pending_ == 0) Finish();
}

void TcpScan::Finish() {
  if (!running_) return;
  running_ = false;
  deadline_.stop();
  DropSockets();
  emit finished(answers_);
}

void TcpScan::Cancel() {
  running_ = false;
  deadline_.stop();
  DropSockets();
}

void TcpScan::DropSockets() {
  for (auto& socket : sockets_) {
    socket->disconnect(this);
    socket->abort();
    // A socket may be inside its own signal right now.
    socket.release()->deleteLater();
  }
  sockets_.clear();
}

}  // namespace tessaly::comm
