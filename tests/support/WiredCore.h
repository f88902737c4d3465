#pragma once

#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "model/EditCore.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"

namespace tessaly::test {

// One run's core, wired as the application wires it: the exchange layer, the connect runtime and
// the edit path, with messages recorded. Fresh for every test that builds one.
struct WiredCore {
  bool app = (EnsureCoreApplication(), true);
  RecordingMessenger messenger;
  comm::Comm comm{messenger};
  connect::ConnectRuntime runtime{comm};
  model::EditCore editing{runtime.store};
  model::EditPath& edits = editing.edits;
  protocol::ProgramStore& store = runtime.store;
  connect::ConnectSession& session = runtime.session;
  connect::ConnectContext& context = runtime.context;
};

}  // namespace tessaly::test
