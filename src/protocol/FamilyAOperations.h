#pragma once

#include "protocol/CommonOperations.h"

namespace tessaly::protocol {

// Family A (RK-540, RK-360, RL-4800): two inputs, three outputs, each output fed from one
// selectable source.
class FamilyAOperations : public CommonOperations {
 public:
  explicit FamilyAOperations(ProgramStore& store) : CommonOperations(store, Family::kA) {}

  // source: 0 "Input L", 1 "Input R", 2 "Input L+R".
  EditResult SendOutputSource(int slot, int ch, int source) override;
  EditResult SendInputMode(int slot, InputModeField field, int index) override;
};

}  // namespace tessaly::protocol
