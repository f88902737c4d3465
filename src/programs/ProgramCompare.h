#pragma once

#include <QString>
#include <vector>

#include "model/EditTypes.h"
#include "model/PendingEdits.h"

namespace tessaly::model {
struct ParameterDescriptor;
}
namespace tessaly::protocol {
class ProgramData;
}

namespace tessaly::programs {

// One parameter the PC and the device hold differently, in the units the editor shows. The
// program name is a row of its own, with no parameter.
struct ParameterDifference {
  const model::ParameterDescriptor* parameter = nullptr;  // nullptr: the program name
  int channel = -1;                                       // -1: a device-wide setting
  int element = -1;
  int pc_index = 0;
  int device_index = 0;
  QString caption;  // "EQ Gain band 3", "Program name"
  QString pc_shown;
  QString device_shown;
  bool pending = false;  // the PC's value is an edit the device never acknowledged

  bool is_name() const { return parameter == nullptr; }
  model::EditTarget Target(int slot) const;
  model::PendingEdits::Key Key() const;
};

// Every parameter (and the program name) where the two records differ, grouped by channel:
// the name and device-wide settings first, then the channels in order; inside a group the
// pending edits come first, the rest in the order of the parameter table.
std::vector<ParameterDifference> CompareRecords(const protocol::ProgramData& pc,
                                                const protocol::ProgramData& device,
                                                int device_type,
                                                const model::PendingEdits& pending);

}  // namespace tessaly::programs
