#pragma once
#include "comm/Messenger.h"
#include "model/EditPath.h"
#include "protocol/ProgramStore.h"
namespace tessaly::editor {
// What every page of one device's editor works on.
struct EditorContext {
  model::EditPath& edits;
  protocol::ProgramStore& store;
  comm::Messenger& messenger;
  int slot = 0;
  bool decimal_comma = false;
};
}  // namespace tessaly::editor
