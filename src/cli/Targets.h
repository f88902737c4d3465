#pragma once

#include <QString>
#include <optional>

#include "cli/Outcome.h"
#include "model/EditTypes.h"

namespace tessaly::cli {

// The edit target of a typed CHANNEL and PARAMETER on a device of the given type, or the usage
// error that says which channel or parameter was meant.
struct TargetOrError {
  std::optional<model::EditTarget> target;
  Outcome error;
};
TargetOrError ResolveTarget(const QString& channel, const QString& parameter, int device_type,
                            int slot);

// "InL", or "device" for a device setting.
QString ChannelText(int device_type, int channel);

}  // namespace tessaly::cli
