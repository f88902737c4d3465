#include "protocol/Dispatch.h"

#include "protocol/ProgramStore.h"

namespace tessaly::protocol {

FamilyOperations& Dispatcher::For(int slot) {
  return store_.FamilyOfSlot(slot) == Family::kB ? family_b_ : family_a_;
}

FamilyOperations& Dispatcher::Current() { return For(store_.comm().state().current_device); }

}  // namespace tessaly::protocol
