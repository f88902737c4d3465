#pragma once

#include <QSocketNotifier>
#include <memory>
#include <mutex>
#include <optional>

#include "sim/SimEndpoint.h"
#include "sim/WireAlarm.h"
#include "sim/WirePacer.h"

namespace tessaly::sim {

// The device's USB serial port, played by a pseudo-terminal. The PC opens the slave side like a
// COM port and sets its line speed there; the device listens on the master side and, like the
// real thing, understands only traffic at its own speed: bytes sent at any other speed are lost.
class SimPtyEndpoint : public SimEndpoint {
  Q_OBJECT

 public:
  SimPtyEndpoint(std::shared_ptr<SimDevice> device, QString label, SimTrace trace,
                 QObject* parent = nullptr);
  ~SimPtyEndpoint() override;

  // Creates the pseudo-terminal and, when `link_path` is given, a symbolic link to its slave
  // there (folders are created; an older link is replaced).
  bool Open(const QString& link_path, QString* error);
  // The name the PC opens: the link when one was asked for, else the slave device.
  QString Path() const;
  QString SlaveName() const;
  QString Where() const override;

  // The speed the PC set on the line, in baud; 0 when it cannot be read.
  int LineSpeed() const;

  // Paced, every byte either way takes the time the device's line needs for it, as on a real
  // cable; else bytes pass as fast as the pseudo-terminal moves them. Call before traffic.
  void SetWirePaced(bool paced);

 private:
  bool OpenPty(QString* error);
  void ClosePty();
  void Read();
  void Write(const QByteArray& bytes);
  void Flush();
  // Hands on the bytes whose wire time is over and waits for the next one.
  void Pace();
  // Drops the line as an unplugged device would, then comes back on a fresh pseudo-terminal
  // behind the same link.
  void Replug();
  // Replugs once `sent` bytes just written have crossed the line and the PC could read them.
  void ReplugAfter(qsizetype sent);

  int master_fd_ = -1;
  int slave_fd_ = -1;  // kept open: the line survives the PC closing its side
  QString link_path_;
  mutable std::mutex mutex_;
  QString slave_name_;
  std::unique_ptr<QSocketNotifier> read_notifier_;
  std::unique_ptr<QSocketNotifier> write_notifier_;
  QByteArray outgoing_;
  SimFramer framer_;
  std::optional<WirePacer> hearing_;   // PC to device
  std::optional<WirePacer> speaking_;  // device to PC
  WireAlarm* pace_alarm_ = nullptr;
};

}  // namespace tessaly::sim
