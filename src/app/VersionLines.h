#pragma once

#include <QString>

#include "comm/CommState.h"

namespace tessaly::app {

// What the about window shows for the current device.
struct VersionLines {
  QString software;
  QString firmware;
  // The RK-360 and the RL-4800 have no second version.
  bool second_visible = true;
  QString second;
};

// Device versions are shown only while the device is on-line: an off-line slot's texts may be
// from a device that is no longer there.
VersionLines VersionLinesFor(const QString& software_version, const comm::CommState& state);

}  // namespace tessaly::app
