#pragma once

#include <QByteArray>

class QIODevice;

namespace tessaly::comm {

// Receive results shared by the serial and TCP links.
inline constexpr int kReceiveOk = 0;
inline constexpr int kReceiveTimeout = 1;
inline constexpr int kReceiveClosed = 2;

// Drops whatever is waiting: a reply that came after its request had given up, or the remainder of
// a partial one. Called before every send so that it is never read as the next command's answer.
void DiscardStale(QIODevice& io);

// Writes the whole packet, waiting at most `limit_ms` for it to leave.
bool SendAll(QIODevice& io, const QByteArray& packet, int limit_ms);

// Fills `reply` with exactly `awaited` bytes. A partial reply at the limit is dropped, so the link
// stays usable for the next exchange.
int ReceiveExactly(QIODevice& io, QByteArray& reply, int awaited, int limit_ms);

}  // namespace tessaly::comm
