#include "model/UndoStack.h"

#include <algorithm>

#include "model/EditPath.h"

namespace tessaly::model {

QString UndoStack::UndoText() const { return CanUndo() ? entries_[position_ - 1].text : QString(); }

QString UndoStack::RedoText() const { return CanRedo() ? entries_[position_].text : QString(); }

EditOutcome UndoStack::UndoLast() {
  if (!CanUndo()) {
    return {EditStatus::kRefused, QStringLiteral("There is nothing to undo."), {}, -1, {}, false};
  }
  EditOutcome out = path_.Replay(slot_, entries_[position_ - 1], false);
  if (out.status != EditStatus::kSendFailed) --position_;
  return out;
}

EditOutcome UndoStack::RedoLast() {
  if (!CanRedo()) {
    return {EditStatus::kRefused, QStringLiteral("There is nothing to redo."), {}, -1, {}, false};
  }
  EditOutcome out = path_.Replay(slot_, entries_[position_], true);
  if (out.status != EditStatus::kSendFailed) ++position_;
  return out;
}

void UndoStack::Clear() {
  entries_.clear();
  position_ = 0;
  gesture_has_entry_ = false;
}

void UndoStack::Push(UndoEntry entry) {
  entries_.resize(position_);
  if (gesture_open_ && gesture_has_entry_ && !entries_.empty()) {
    // One drag is one entry: keep the first "before", take the latest "after".
    UndoEntry& open = entries_.back();
    for (const UndoEntry::Byte& b : entry.bytes) {
      auto it = std::find_if(open.bytes.begin(), open.bytes.end(),
                             [&](const UndoEntry::Byte& o) { return o.offset == b.offset; });
      if (it == open.bytes.end()) {
        open.bytes.push_back(b);
      } else {
        it->after = b.after;
      }
    }
    if (entry.state) {
      open.state = std::make_unique<const UndoEntry::StateChange>(UndoEntry::StateChange{
          open.state ? open.state->before : entry.state->before, entry.state->after});
    }
    for (const UndoEntry::Send& s : entry.sends) {
      const bool known = std::any_of(open.sends.begin(), open.sends.end(), [&](const auto& o) {
        return o.id == s.id && o.channel == s.channel && o.element == s.element;
      });
      if (!known) open.sends.push_back(s);
    }
    return;
  }
  if (gesture_open_) {
    if (!gesture_text_.isEmpty()) entry.text = gesture_text_;
    gesture_has_entry_ = true;
  }
  entries_.push_back(std::move(entry));
  if (entries_.size() > kUndoLimit) entries_.erase(entries_.begin());
  position_ = entries_.size();
}

void UndoStack::BeginGesture(const QString& text) {
  gesture_open_ = true;
  gesture_has_entry_ = false;
  gesture_text_ = text;
}

void UndoStack::EndGesture() {
  gesture_open_ = false;
  gesture_has_entry_ = false;
}

}  // namespace tessaly::model
