#pragma once

#include "graph/ResponseCurves.h"
#include "model/EditPath.h"
#include "protocol/Dispatch.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"

namespace tessaly::model {

// The objects every edit of a store goes through, wired once: both family modules, the
// dispatcher that picks one by the slot's type, the response curves and the edit path.
struct EditCore {
  explicit EditCore(protocol::ProgramStore& store)
      : family_a(store),
        family_b(store),
        dispatcher(store, family_a, family_b),
        curves(store),
        edits(store, curves, dispatcher) {}
  EditCore(const EditCore&) = delete;
  EditCore& operator=(const EditCore&) = delete;

  protocol::FamilyAOperations family_a;
  protocol::FamilyBOperations family_b;
  protocol::Dispatcher dispatcher;
  graph::ResponseCurves curves;
  EditPath edits;
};

}  // namespace tessaly::model
