#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <array>
#include <memory>

#include "comm/DeviceTable.h"
#include "comm/Link.h"
#include "comm/ReplyChannel.h"

class QTcpSocket;

namespace tessaly::comm {

// The 33 slot connections. Every TcpLink made over the same pool sees the same connections: the
// connect window connects a slot and the exchange layer later talks through it.
class TcpSlots {
 public:
  TcpSlots();
  ~TcpSlots();
  TcpSlots(const TcpSlots&) = delete;
  TcpSlots& operator=(const TcpSlots&) = delete;

  QTcpSocket* Socket(int slot) const;
  QTcpSocket& EnsureSocket(int slot);
  ReplyChannel& Channel(int slot) { return channels_.at(static_cast<size_t>(slot)); }

  // Stands in for the PC's own addresses, so tests can play a machine with or without a network.
  void SetLocalAddresses(const QStringList& addresses) { local_addresses_ = addresses; }
  const QStringList& LocalAddressesOverride() const { return local_addresses_; }

 private:
  std::array<std::unique_ptr<QTcpSocket>, kSlotCount> sockets_;
  std::array<ReplyChannel, kSlotCount> channels_;
  QStringList local_addresses_;
};

class TcpLink : public QObject {
  Q_OBJECT

 public:
  explicit TcpLink(std::shared_ptr<TcpSlots> pool, QObject* parent = nullptr);

  // 0 when `slot_count` slots (at most 33) are ready.
  int Initialise(int slot_count);
  // The PC's IPv4 addresses; "127.0.0.1" first when no network is up.
  QStringList ListLocalAddresses() const;
  int Connect(int slot, const QString& address, quint16 port, int wait_ms);
  void Send(int slot, const QByteArray& packet);
  // 0 when exactly `awaited` bytes arrived within the limit.
  int Receive(int slot, QByteArray& reply, int awaited, int limit_ms);
  void Disconnect(int slot);
  bool IsConnected(int slot) const;

  const std::shared_ptr<TcpSlots>& Pool() const { return pool_; }

 private:
  std::shared_ptr<TcpSlots> pool_;
  int slot_count_ = 0;
};

// One slot's connection in the shared pool, as the exchange layer sees it.
class TcpSlotLink : public Link {
 public:
  // `table`, when given, names the device's address for Describe().
  TcpSlotLink(std::shared_ptr<TcpSlots> pool, int slot, const DeviceTable* table = nullptr);

  bool Open() override { return true; }
  bool IsOpen() const override;
  bool Send(const QByteArray& packet) override;
  int Receive(QByteArray& reply, int awaited, const QDeadlineTimer& deadline) override;
  void Close() override;
  QString Describe() const override;
  uint8_t ProbeAddress(int /*slot*/) const override { return 0; }

 private:
  QTcpSocket* ConnectedSocket() const;

  std::shared_ptr<TcpSlots> pool_;
  int slot_;
  const DeviceTable* table_;
};

}  // namespace tessaly::comm
