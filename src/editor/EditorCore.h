#pragma once

#include "connect/ConnectRuntime.h"
#include "graph/ResponseCurves.h"
#include "model/EditPath.h"
#include "programs/WholeProgram.h"
#include "protocol/Dispatch.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"

namespace tessaly::editor {

// The run-wide objects every editor works through, over the store and names the connect side
// reads devices into.
struct EditorCore {
  explicit EditorCore(connect::ConnectRuntime& runtime)
      : family_a(runtime.store),
        family_b(runtime.store),
        dispatcher(runtime.store, family_a, family_b),
        curves(runtime.store),
        edits(runtime.store, curves, dispatcher),
        whole_program(runtime.context.comm, runtime.store, dispatcher, curves, runtime.names) {}
  EditorCore(const EditorCore&) = delete;
  EditorCore& operator=(const EditorCore&) = delete;

  protocol::FamilyAOperations family_a;
  protocol::FamilyBOperations family_b;
  protocol::Dispatcher dispatcher;
  graph::ResponseCurves curves;
  model::EditPath edits;
  programs::WholeProgram whole_program;
};

}  // namespace tessaly::editor
