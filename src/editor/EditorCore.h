#pragma once

#include "connect/ConnectRuntime.h"
#include "model/EditCore.h"
#include "programs/WholeProgram.h"

namespace tessaly::editor {

// The run-wide objects every editor works through, over the store and names the connect side
// reads devices into.
struct EditorCore : model::EditCore {
  explicit EditorCore(connect::ConnectRuntime& runtime)
      : EditCore(runtime.store),
        whole_program(runtime.context.comm, runtime.store, dispatcher, curves, runtime.names) {}

  programs::WholeProgram whole_program;
};

}  // namespace tessaly::editor
