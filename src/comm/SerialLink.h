#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>

#include "comm/ComPortMap.h"
#include "comm/ReplyChannel.h"

namespace tessaly::comm {

// One COM port; USB devices appear as one. Every call blocks the caller's thread.
class SerialLink : public QObject {
  Q_OBJECT

 public:
  explicit SerialLink(const ComPortMap& ports, QObject* parent = nullptr);

  // `port_name` is "COM" + number; returns 0 when the port is open at `baud`.
  int Open(const QString& port_name, int baud);
  void Close();
  bool IsOpen() const;
  void Send(const QByteArray& packet);
  // 0 when exactly `awaited` bytes arrived within the limit.
  int Receive(QByteArray& reply, int awaited, int limit_ms);

  QString OpenedPortName() const { return port_.portName(); }

 private:
  const ComPortMap& ports_;
  QSerialPort port_;
  // Kept across close and reopen: a late answer still arrives on the line after a reopen.
  ReplyChannel channel_;
};

}  // namespace tessaly::comm
