#pragma once

#include <QtGlobal>

namespace tessaly::test {

// A TCP port no other test process holds. Test processes run side by side and put devices on
// the same loop-back addresses, so a port that is merely free right now is not enough: the port
// stays held on an address no device uses until this process ends, and every test takes its
// ports from here, so two processes never get the same one.
quint16 ReservedPort();

}  // namespace tessaly::test
