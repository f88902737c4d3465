#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "sim/SimDevice.h"
#include "sim/SimFramer.h"

namespace tessaly::sim {

using SimTrace = std::function<void(const QString& line)>;

// Hex dump used by the trace: "8d 1f 00 ...".
QString HexBytes(const QByteArray& bytes);

// A device's link to the PC. Lives on the emulator's thread: everything here runs from its event
// loop. The transport only moves bytes; the device decides what to answer.
class SimEndpoint : public QObject {
  Q_OBJECT

 public:
  SimEndpoint(std::shared_ptr<SimDevice> device, QString label, SimTrace trace,
              QObject* parent = nullptr);

  // Where the PC reaches the device, for the start-up line and tests.
  virtual QString Where() const = 0;

 protected:
  using Writer = std::function<void(const QByteArray&)>;
  // Drops the link; `sent` bytes were just written and must leave first (0: drop at once).
  using Dropper = std::function<void(qsizetype sent)>;

  // Frames what arrived on one link and answers every complete packet. `context` bounds the
  // lifetime of delayed answers: they are dropped when it goes away first.
  void Consume(SimFramer& framer, const QByteArray& bytes, QObject* context, const Writer& write,
               const Dropper& drop);
  void Trace(const QString& text) const;

  std::shared_ptr<SimDevice> device_;

 private:
  QString label_;
  SimTrace trace_;
  // A device answers in order: an answer never overtakes a late one before it.
  QElapsedTimer clock_;
  qint64 last_due_ms_ = -1;
};

}  // namespace tessaly::sim
