#pragma once

#include <QString>
#include <vector>

#include "model/ParamId.h"

namespace tessaly::model {

struct ParameterDescriptor;

// One parameter of one device slot. `element` is the band, mixer input or routing source (from
// 0) by the parameter's scope, -1 for none; `channel` is -1 for a device setting.
struct EditTarget {
  int slot = 0;
  ParamId id = ParamId::kGain;
  int channel = -1;
  int element = -1;

  const ParameterDescriptor& parameter() const;  // the table's row of `id`
};

// One field's new index in an edit of several fields that travel in one command.
struct FieldIndex {
  EditTarget target;
  int index = 0;
};

enum class EditStatus {
  kDone,          // written and sent
  kHeld,          // written; nothing sent (traffic flags or transfer lock)
  kSendFailed,    // written; the device did not answer
  kRefused,       // nothing touched; `reason` says why and names the accepted range
  kNotSupported,  // the slot's device has no such parameter; nothing touched
};

struct EditOutcome {
  EditStatus status = EditStatus::kDone;
  QString reason;
  QString shown;  // the value as the editor shows it after snapping and clamping
  int index = -1;
  std::vector<int> followers;  // linked channels the edit was repeated on
  bool unchanged = false;      // nothing needed sending (a band type picked again)
};

}  // namespace tessaly::model
