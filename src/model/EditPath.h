#pragma once

#include <QObject>
#include <QString>
#include <QStringView>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "device/Slots.h"
#include "model/EditTypes.h"
#include "model/ParameterDescriptor.h"
#include "model/PendingEdits.h"
#include "model/UndoStack.h"

namespace tessaly::protocol {
class Dispatcher;
class ChannelLinking;
class ProgramStore;
}  // namespace tessaly::protocol
namespace tessaly::graph {
class ResponseCurves;
}

namespace tessaly::model {

// The one way a parameter edit reaches a device: the value is converted, written to the record
// and slot state, sent through the slot's family operations, repeated on the linked channels, the
// response curves of every changed channel are recomputed, views are told per changed channel,
// and the edit is recorded for undo.
class EditPath : public QObject {
  Q_OBJECT

 public:
  EditPath(protocol::ProgramStore& store, graph::ResponseCurves& curves,
           protocol::Dispatcher& dispatcher, QObject* parent = nullptr);
  ~EditPath() override;

  // A refusal touches nothing. The context fields of `options` are taken from the slot.
  EditOutcome SetText(const EditTarget& target, QStringView text, ParseOptions options = {});
  EditOutcome SetIndex(const EditTarget& target, int index);
  // Fields of one EQ band or one crossover filter set by one gesture: every field but the last
  // goes into the record only, and the last one's command carries them all, once, with its
  // linking, as one undo step. A refusal of any field touches nothing.
  EditOutcome SetIndexes(const std::vector<FieldIndex>& fields);
  // The index a typed text stands for, without editing anything.
  ParseResult Parse(const EditTarget& target, QStringView text, ParseOptions options = {}) const;

  // Moves the index by `steps`, held inside what the target takes now (a band's Q scale follows
  // its type); nothing is sent when the index stays where it is.
  EditOutcome StepIndex(const EditTarget& target, int steps);

  // Sends what the record holds now for `target` as an edit of it sends it, without linking, undo
  // or views to tell (the record does not change): a stored image brought to a device one
  // parameter at a time, or the PC's value of a parameter the device holds differently. Its
  // pending mark follows the outcome.
  EditOutcome Resend(const EditTarget& target);

  // The value as the record and slot state hold it now; -1 when the target is not valid.
  int Index(const EditTarget& target) const;
  QString Shown(const EditTarget& target) const;
  // The value as a text box shows it, with a decimal comma or point.
  QString BoxText(const EditTarget& target, bool decimal_comma) const;

  // Tells the views that a device setting changed outside the edit path (a dialog wrote it).
  void Announce(int slot, ParamId id);

  // Between these every edit of the slot joins one undo entry (a knob drag, a slider move).
  void BeginGesture(int slot, const QString& text);
  void EndGesture(int slot);

  UndoStack& Undo(int slot);
  // What the slot's device has not acknowledged. An edit marks its parameters when the device did
  // not get it (lost, unanswered, or out of reach); an acknowledged edit of them clears the marks.
  // Edits held back on purpose (transfer lock, demonstration) mark nothing.
  const PendingEdits& Pending(int slot) const;
  // The whole set is settled by the caller (everything sent, or the device's values taken).
  void ClearPending(int slot);
  // A read of the device found it holding the PC's value of this parameter.
  void Acknowledge(int slot, const PendingEdits::Key& key);

  // Writes the device's value of one parameter into the record and slot state through its
  // operation, with no linking and no undo entry; its pending mark goes. The caller keeps the
  // traffic held, so nothing is sent.
  EditOutcome Adopt(const EditTarget& target, int index);

  protocol::ProgramStore& store() { return store_; }
  // The slot's device type; nullopt for a slot without one.
  std::optional<int> DeviceType(int slot) const;
  // The editor-side state of the slot (lock flags); nullptr outside the slots.
  const protocol::SlotState* SlotStateOf(int slot) const;
  // True while an exchange with a device is running (the reply is awaited in a nested loop,
  // where timers still fire).
  bool LineBusy() const;
  // The curves every edit keeps up to date, for the views that draw them.
  const graph::ResponseCurves& curves() const { return curves_; }

 signals:
  // One per edited or linked channel; channel -1 for a device setting.
  void parameterChanged(int slot, int channel, tessaly::model::ParamId id, int element);
  // The whole image of the slot changed; its undo stack was cleared.
  void programReplaced(int slot);
  // An edit was recorded: the slot's undo stack has a new top.
  void undoRecorded(int slot);
  // The slot's pending parameters changed.
  void pendingChanged(int slot);

 private:
  friend class UndoStack;
  friend class EditRunner;

  // Undo and redo: puts the recorded bytes back and resends; the stack moves only on success.
  EditOutcome Replay(int slot, const UndoEntry& entry, bool forward);
  // A channel changed behind the edit path's back (a channel copy, a page sent again): every
  // value of it is announced, since the path cannot know which moved.
  void OnChannelChanged(int slot, int channel);

  // Above zero while the path itself writes: its own changes are announced one by one.
  int own_writes_ = 0;
  // Marks or clears the targets by how their edit ended.
  void Track(int slot, const std::vector<PendingEdits::Key>& keys, EditStatus status);

  protocol::ProgramStore& store_;
  graph::ResponseCurves& curves_;
  protocol::Dispatcher& dispatcher_;
  std::unique_ptr<protocol::ChannelLinking> linking_;
  std::array<std::unique_ptr<UndoStack>, device::kSlotCount> stacks_;
  std::array<PendingEdits, device::kSlotCount> pending_;
};

}  // namespace tessaly::model
