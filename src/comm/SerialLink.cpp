#include "comm/SerialLink.h"

#include "comm/LinkIo.h"

namespace tessaly::comm {

SerialLink::SerialLink(const ComPortMap& ports, QObject* parent) : QObject(parent), ports_(ports) {}

int SerialLink::Open(const QString& port_name, int baud) {
  if (port_.isOpen()) port_.close();
  target_name_ = port_name;
  target_baud_ = baud;
  port_.setPortName(ports_.PortName(port_name));
  if (!port_.open(QIODevice::ReadWrite)) return -1;
  const bool configured = port_.setBaudRate(baud) && port_.setDataBits(QSerialPort::Data8) &&
                          port_.setParity(QSerialPort::NoParity) &&
                          port_.setStopBits(QSerialPort::OneStop) &&
                          port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!configured) {
    port_.close();
    return -1;
  }
  port_.clear();
  return 0;
}

void SerialLink::SetTarget(const QString& port_name, int baud) {
  target_name_ = port_name;
  target_baud_ = baud;
}

bool SerialLink::Open() { return port_.isOpen() || Open(target_name_, target_baud_) == 0; }

void SerialLink::Close() {
  if (port_.isOpen()) port_.close();
}

bool SerialLink::IsOpen() const { return port_.isOpen(); }

bool SerialLink::Send(const QByteArray& packet) {
  if (!port_.isOpen()) return false;
  port_.clearError();
  return channel_.Send(port_, packet);
}

int SerialLink::Receive(QByteArray& reply, int awaited, const QDeadlineTimer& deadline) {
  if (!port_.isOpen()) return kReceiveClosed;
  port_.clearError();
  return channel_.Receive(port_, reply, awaited, deadline);
}

QString SerialLink::Describe() const { return QStringLiteral("USB ") + target_name_; }

}  // namespace tessaly::comm
