#pragma once
#include "device/Messenger.h"
#include "model/EditPath.h"
namespace tessaly::editor {
// What every page of one device's editor works on: views read and change values only through
// the edit path.
struct EditorContext {
  model::EditPath& edits;
  device::Messenger& messenger;
  int slot = 0;
  bool decimal_comma = false;
};
}  // namespace tessaly::editor
