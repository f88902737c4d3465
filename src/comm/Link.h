#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <cstdint>

namespace tessaly::comm {

// One device's line, whatever carries it: the exchange layer talks to every device through this
// and never asks which kind of line it is.
class Link {
 public:
  virtual ~Link() = default;

  // Makes the line ready for an exchange; false when it cannot be opened. A serial port opens on
  // demand. A TCP connection is made by the connect windows, so there is nothing to open; one
  // that dropped shows up as a failed send.
  [[nodiscard]] virtual bool Open() = 0;
  virtual bool IsOpen() const = 0;
  // False when the packet could not be written.
  [[nodiscard]] virtual bool Send(const QByteArray& packet) = 0;
  // One of the kReceive* results of LinkIo.h; `reply` holds exactly `awaited` bytes on success.
  virtual int Receive(QByteArray& reply, int awaited, const QDeadlineTimer& deadline) = 0;
  virtual void Close() = 0;
  // Closes a line whose reply was lost, so that the next exchange starts on a clean one: a TCP
  // connection is made anew by the re-link; a serial line is drained until it has been quiet.
  virtual void Abandon() { Close(); }
  // Where the device is, as a user reads it: "USB COM3", "IP:127.0.0.7".
  virtual QString Describe() const = 0;
  // The address byte of a probe: a serial line may be shared, so it names the slot; a TCP
  // connection reaches one device only and carries 0.
  virtual uint8_t ProbeAddress(int slot) const = 0;
};

}  // namespace tessaly::comm
