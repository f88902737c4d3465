#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/EditTypes.h"
#include "protocol/SlotState.h"

namespace tessaly::model {

class EditPath;

// What one edit changed in a slot: the record and tail bytes (offset, old, new), the slot state
// before and after when the edit changed it, and the commands to send again (parameter, channel,
// element) in order.
struct UndoEntry {
  struct Byte {
    int offset = 0;
    uint8_t before = 0;
    uint8_t after = 0;
  };
  struct Send {
    ParamId id = ParamId::kGain;
    int channel = -1;
    int element = -1;
  };
  QString text;  // "Gain Left -6 dB"
  std::vector<Byte> bytes;
  struct StateChange {
    protocol::SlotState before;
    protocol::SlotState after;
  };
  // Most edits (levels, delays, dynamics, EQ gains and frequencies) leave the slot state alone,
  // and a hundred steps on each of several devices would otherwise keep two copies of it a step.
  std::unique_ptr<const StateChange> state;
  std::vector<Send> sends;
};

// Steps kept per device: enough to walk back through a session's work, while a show-long run of
// edits does not grow without end.
inline constexpr size_t kUndoLimit = 100;

// The live edits of one device slot, undone and redone by writing their bytes back and sending
// what the edit sent.
class UndoStack {
 public:
  UndoStack(EditPath& path, int slot) : path_(path), slot_(slot) {}

  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < entries_.size(); }
  QString UndoText() const;
  QString RedoText() const;
  // An undo or redo whose send fails leaves the stack where it was.
  EditOutcome UndoLast();
  EditOutcome RedoLast();
  void Clear();
  size_t Count() const { return entries_.size(); }

  // Adds an edit, dropping whatever could have been redone and, past kUndoLimit, the oldest; an
  // open gesture folds it into its entry.
  void Push(UndoEntry entry);
  void BeginGesture(const QString& text);
  void EndGesture();

 private:
  EditPath& path_;
  int slot_;
  std::vector<UndoEntry> entries_;
  size_t position_ = 0;
  bool gesture_open_ = false;
  bool gesture_has_entry_ = false;
  QString gesture_text_;
};

}  // namespace tessaly::model
