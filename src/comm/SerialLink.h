#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>

#include "comm/ComPortMap.h"
#include "comm/Link.h"
#include "comm/ReplyChannel.h"

namespace tessaly::comm {

// One COM port; USB devices appear as one. Waits run a local event loop (see LinkIo.h).
class SerialLink : public QObject, public Link {
  Q_OBJECT

 public:
  explicit SerialLink(const ComPortMap& ports, QObject* parent = nullptr);

  // `port_name` is "COM" + number; returns 0 when the port is open at `baud`.
  int Open(const QString& port_name, int baud);
  // Where Open() without arguments opens the port: the speed follows the device type, so the
  // exchange layer names it before every exchange.
  void SetTarget(const QString& port_name, int baud);

  bool Open() override;
  void Close() override;
  void Abandon() override;
  bool IsOpen() const override;
  bool Send(const QByteArray& packet) override;
  int Receive(QByteArray& reply, int awaited, const QDeadlineTimer& deadline) override;
  QString Describe() const override;
  uint8_t ProbeAddress(int slot) const override { return static_cast<uint8_t>(slot); }

  QString OpenedPortName() const { return port_.portName(); }

 private:
  void ClearError();

  const ComPortMap& ports_;
  QSerialPort port_;
  QString target_name_;
  int target_baud_ = 0;
  bool settle_on_open_ = false;
  // Kept across close and reopen: a late answer still arrives on the line after a reopen.
  ReplyChannel channel_;
};

}  // namespace tessaly::comm
