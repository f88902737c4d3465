#pragma once

#include <QString>
#include <vector>

#include "connect/ConnectSession.h"
#include "programs/ProgramCompare.h"

namespace tessaly::model {
class EditPath;
}
namespace tessaly::programs {
class WholeProgram;
}

namespace tessaly::connect {

inline constexpr const char* kResyncTitle = "Reconnect";

enum class ResyncStatus {
  kEqual,       // the device holds what the PC holds
  kDifferent,   // differences() lists what they disagree on
  kGone,        // the device did not come back; the user was told once
  kOtherType,   // another type of device answers there; nothing compared, the user was told
  kReadFailed,  // the read stopped part-way; the exchange layer told the loss
};

// One row's decision: the PC's value goes to the device, or the device's value is taken.
struct ResyncChoice {
  programs::ParameterDifference difference;
  bool take_device = false;
};

// Brings a slot's PC record and its device back in step on the user's word. The device is read
// into a second record of its own, never over the PC's; what differs is listed; the rows the user
// chose are then sent through the edit path or taken into the PC's record, and the device is
// read again to check.
class DeviceResync {
 public:
  DeviceResync(ConnectContext& context, model::EditPath& edits, programs::WholeProgram& whole);

  // Re-links a lost slot as the device list does, checks that the same type of device answers
  // and reads it.
  ResyncStatus Reconnect(int slot, const ConnectHooks& hooks);
  // Reads an on-line device again.
  ResyncStatus Reread(int slot, const ConnectHooks& hooks);
  // Of the last read.
  const std::vector<programs::ParameterDifference>& differences() const { return differences_; }

  // Sends or takes each chosen row, then reads the device back and compares again.
  ResyncStatus Apply(int slot, const std::vector<ResyncChoice>& choices, const ConnectHooks& hooks);
  // Takes the device's whole record, names included, as the PC's: undo and pending marks go.
  bool TakeAll(int slot);

 private:
  ResyncStatus ReadAndCompare(int slot, const ConnectHooks& hooks);
  bool SendName(int slot);

  ConnectContext& context_;
  model::EditPath& edits_;
  programs::WholeProgram& whole_;
  protocol::ProgramStore device_store_;
  programs::ProgramNames device_names_;
  programs::SleepTables device_sleep_;
  ConnectContext device_context_;
  std::vector<programs::ParameterDifference> differences_;
};

}  // namespace tessaly::connect
