#pragma once

#include <QStringList>

namespace tessaly::comm {

// Starts a connection to every address at once and returns, in the order given, those that
// accepted one within `wait_ms`. Blocks without running an event loop, so no timer can cut in
// while it waits. Unparsable addresses count as silent.
QStringList ScanAddresses(const QStringList& addresses, quint16 port, int wait_ms);

}  // namespace tessaly::comm
