#pragma once

#include <vector>

#include "model/EditTypes.h"

namespace tessaly::model {

// Every value the parameter table holds for one device type in one slot, in table order
// (parameter, then channel, then element); device settings have channel -1. One-shot actions
// hold no value and are left out. Whether the record has each value is the edit path's to say.
std::vector<EditTarget> ValueTargets(int slot, int device_type);

}  // namespace tessaly::model
