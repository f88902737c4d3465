#pragma once

#include "connect/ConnectSession.h"

namespace tessaly::connect {

// The connection state of one run and the per-slot tables a read-out fills; the connect workflow
// holds it for the whole run.
struct ConnectRuntime {
  explicit ConnectRuntime(comm::Comm& comm, const QString& program_folder = {})
      : store(comm), context{comm, session, store, names, sleep} {
    session.program_folder = program_folder;
    session.locations = programs::FileLocations::InFolder(program_folder);
  }
  ConnectRuntime(const ConnectRuntime&) = delete;
  ConnectRuntime& operator=(const ConnectRuntime&) = delete;

  ConnectSession session;
  protocol::ProgramStore store;
  programs::ProgramNames names;
  programs::SleepTables sleep;
  ConnectContext context;
};

}  // namespace tessaly::connect
