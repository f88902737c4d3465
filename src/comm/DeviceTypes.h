#pragma once

// The device tables live below the exchange layer; comm code keeps its short names.
#include "device/DeviceTypes.h"

namespace tessaly::comm {

using device::BaudRate;
using device::IsFamilyB;
using device::IsValidType;
using device::kType540S;
using device::kTypeCount;
using device::kTypeRk360;
using device::kTypeRk540;
using device::kTypeRl4800;
using device::LastProgramIndex;
using device::ModelName;
using device::PresetFolder;
using device::ProbeCommand;

}  // namespace tessaly::comm
