#include "comm/SerialLink.h"

#include "comm/LinkIo.h"
#include "device/Commands.h"

namespace tessaly::comm {
namespace {

// The longest reply a request can ask for (a memory read of 255 bytes) and the time a device
// takes to turn a request round.
constexpr int kLongestReplyBytes = 255 + device::kMemoryReadOverhead;
constexpr int kTurnaroundMs = 20;
constexpr int kBitsPerByte = 10;

// A line quiet this long after a lost reply carries nothing more of it. Wire time, not a wait
// limit: it is never scaled.
int QuietWindowMs(int baud) {
  const int wire_ms = baud > 0 ? (kLongestReplyBytes * kBitsPerByte * 1000 + baud - 1) / baud : 0;
  return wire_ms + kTurnaroundMs;
}

}  // namespace

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
  if (settle_on_open_) {
    settle_on_open_ = false;
    SettleLine(port_, QuietWindowMs(baud));
  }
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

void SerialLink::Abandon() {
  Close();
  // The device may still be sending the lost answer, or send it late.
  settle_on_open_ = true;
}

bool SerialLink::IsOpen() const { return port_.isOpen(); }

bool SerialLink::Send(const QByteArray& packet) {
  if (!port_.isOpen()) return false;
  ClearError();
  return channel_.Send(port_, packet);
}

int SerialLink::Receive(QByteArray& reply, int awaited, const QDeadlineTimer& deadline) {
  if (!port_.isOpen()) return kReceiveClosed;
  ClearError();
  return channel_.Receive(port_, reply, awaited, deadline);
}

void SerialLink::ClearError() {
  // Clearing builds the "No error" text and signals; a line without an error needs neither.
  if (port_.error() != QSerialPort::NoError) port_.clearError();
}

QString SerialLink::Describe() const { return QStringLiteral("USB ") + target_name_; }

}  // namespace tessaly::comm
