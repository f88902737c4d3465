#include "comm/TcpLink.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTcpSocket>

#include "comm/LinkIo.h"

namespace tessaly::comm {

TcpSlots::TcpSlots() = default;
TcpSlots::~TcpSlots() = default;

QTcpSocket* TcpSlots::Socket(int slot) const {
  return IsValidSlot(slot) ? sockets_[slot].get() : nullptr;
}

QTcpSocket& TcpSlots::EnsureSocket(int slot) {
  auto& socket = sockets_.at(static_cast<size_t>(slot));
  if (!socket) {
    socket = std::make_unique<QTcpSocket>();
    // Small request/reply packets: waiting to coalesce them only adds latency.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  }
  return *socket;
}

TcpLink::TcpLink(std::shared_ptr<TcpSlots> pool, QObject* parent)
    : QObject(parent), pool_(std::move(pool)) {}

int TcpLink::Initialise(int slot_count) {
  if (!pool_ || slot_count < 1 || slot_count > kSlotCount) return -1;
  slot_count_ = slot_count;
  return 0;
}

QStringList TcpLink::ListLocalAddresses() const {
  if (pool_ && !pool_->LocalAddressesOverride().isEmpty()) {
    return pool_->LocalAddressesOverride();
  }
  QStringList result;
  for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
    if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback()) {
      result << address.toString();
    }
  }
  if (result.isEmpty()) result << QStringLiteral("127.0.0.1");
  return result;
}

int TcpLink::Connect(int slot, const QString& address, quint16 port, int wait_ms) {
  if (!IsValidSlot(slot) || slot >= slot_count_) return -1;
  QTcpSocket& socket = pool_->EnsureSocket(slot);
  socket.abort();
  pool_->Channel(slot).Forget();  // a new connection owes no late answers
  socket.connectToHost(address, port);
  if (!socket.waitForConnected(wait_ms)) {
    socket.abort();
    return -1;
  }
  return 0;
}

void TcpLink::Send(int slot, const QByteArray& packet) {
  (void)TcpSlotLink(pool_, slot).Send(packet);
}

int TcpLink::Receive(int slot, QByteArray& reply, int awaited, int limit_ms) {
  return TcpSlotLink(pool_, slot).Receive(reply, awaited, QDeadlineTimer(limit_ms));
}

void TcpLink::Disconnect(int slot) { TcpSlotLink(pool_, slot).Close(); }

bool TcpLink::IsConnected(int slot) const { return TcpSlotLink(pool_, slot).IsOpen(); }

TcpSlotLink::TcpSlotLink(std::shared_ptr<TcpSlots> pool, int slot, const DeviceTable* table)
    : pool_(std::move(pool)), slot_(slot), table_(table) {}

QTcpSocket* TcpSlotLink::ConnectedSocket() const {
  QTcpSocket* socket = pool_ ? pool_->Socket(slot_) : nullptr;
  return socket != nullptr && socket->state() == QAbstractSocket::ConnectedState ? socket : nullptr;
}

bool TcpSlotLink::IsOpen() const { return ConnectedSocket() != nullptr; }

bool TcpSlotLink::Send(const QByteArray& packet) {
  QTcpSocket* socket = ConnectedSocket();
  return socket != nullptr && pool_->Channel(slot_).Send(*socket, packet);
}

int TcpSlotLink::Receive(QByteArray& reply, int awaited, const QDeadlineTimer& deadline) {
  QTcpSocket* socket = ConnectedSocket();
  if (socket == nullptr) return kReceiveClosed;
  return pool_->Channel(slot_).Receive(*socket, reply, awaited, deadline);
}

void TcpSlotLink::Close() {
  if (QTcpSocket* socket = pool_ ? pool_->Socket(slot_) : nullptr) socket->abort();
}

QString TcpSlotLink::Describe() const {
  if (table_ == nullptr || !IsValidSlot(slot_)) return {};
  return QStringLiteral("IP:") + (*table_)[slot_].ip_address;
}

}  // namespace tessaly::comm
