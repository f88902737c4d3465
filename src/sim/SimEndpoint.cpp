#include "sim/SimEndpoint.h"

#include <QTimer>
#include <algorithm>

namespace tessaly::sim {

QString HexBytes(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ')); }

SimEndpoint::SimEndpoint(std::shared_ptr<SimDevice> device, QString label, SimTrace trace,
                         QObject* parent)
    : QObject(parent),
      device_(std::move(device)),
      label_(std::move(label)),
      trace_(std::move(trace)) {
  clock_.start();
}

void SimEndpoint::Trace(const QString& text) const {
  if (trace_) trace_(QStringLiteral("[%1] %2").arg(label_, text));
}

void SimEndpoint::Consume(SimFramer& framer, const QByteArray& bytes, QObject* context,
                          const Writer& write, const Dropper& drop) {
  const qsizetype skipped_before = framer.skipped();
  const QList<QByteArray> packets = framer.Feed(bytes);
  if (framer.skipped() != skipped_before) {
    Trace(QStringLiteral("skipped %1 byte(s) of noise").arg(framer.skipped() - skipped_before));
  }
  for (const QByteArray& packet : packets) {
    Trace(QStringLiteral("rx %1").arg(HexBytes(packet)));
    const SimReply reply = device_->Receive(packet);
    if (reply.disconnect || (reply.drop_after && reply.bytes.isEmpty())) {
      Trace(QStringLiteral("dropping the link"));
      drop(0);
      return;
    }
    if (reply.bytes.isEmpty()) continue;
    const qint64 now = clock_.elapsed();
    if (reply.delay_ms <= 0 && last_due_ms_ < now) {
      Trace(QStringLiteral("tx %1").arg(HexBytes(reply.bytes)));
      write(reply.bytes);
      if (!reply.drop_after) continue;
      Trace(QStringLiteral("dropping the link part-way through the reply"));
      drop(reply.bytes.size());
      return;
    }
    last_due_ms_ = std::max(now + std::max(reply.delay_ms, 0), last_due_ms_);
    QTimer::singleShot(static_cast<int>(last_due_ms_ - now), Qt::PreciseTimer, context,
                       [this, write, drop, bytes = reply.bytes, cut = reply.drop_after] {
                         Trace(QStringLiteral("tx (late) %1").arg(HexBytes(bytes)));
                         write(bytes);
                         if (cut) drop(bytes.size());
                       });
    // Whatever else came with this packet would be answered on a line that is about to go.
    if (reply.drop_after) return;
  }
}

}  // namespace tessaly::sim
