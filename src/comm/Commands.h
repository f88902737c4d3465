#pragma once

// The shared command bytes live below the exchange layer; comm code keeps its short names.
#include "device/Commands.h"

namespace tessaly::comm {

using device::kCmdDataBlock;
using device::kCmdIdentify;
using device::kCmdKeepAlive;
using device::kCmdMeters;
using device::kCmdNoReply;
using device::kCmdProbeA;
using device::kCmdProbeB;
using device::kCmdProgramStatus;
using device::kCmdReadParams;
using device::kCmdReadSettings;
using device::kCmdRelease;
using device::kCmdSetIp;
using device::kCmdVersions;
using device::kCmdWriteBlock;
using device::kProbeAck;

}  // namespace tessaly::comm
