#include "editor/SwitchBinding.h"

#include <QAbstractButton>
#include <QSignalBlocker>

#include "editor/EditorSupport.h"
#include "editor/PendingDot.h"
#include "model/EditPath.h"

namespace tessaly::editor {

SwitchBinding::SwitchBinding(EditorContext& context, model::EditTarget target,
                             QAbstractButton* button)
    : QObject(button), context_(context), target_(target), button_(button) {
  button->setCheckable(true);
  connect(button, &QAbstractButton::clicked, this, &SwitchBinding::OnClicked);
  connect(&context_.edits, &model::EditPath::parameterChanged, this,
          [this](int slot, int channel, model::ParamId id, int element) {
            if (Concerns(target_, slot, channel, id, element)) Refresh();
          });
  connect(&context_.edits, &model::EditPath::programReplaced, this, [this](int slot) {
    if (slot == target_.slot) Refresh();
  });
  PendingDot::Follow(*button, context_.edits, target_);
  Refresh();
}

void SwitchBinding::Refresh() {
  const int index = context_.edits.Index(target_);
  if (index < 0 || !button_) return;
  const QSignalBlocker quiet(button_);
  button_->setChecked(index != 0);
}

void SwitchBinding::OnClicked(bool checked) {
  // The button shows the record, not the click, until the edit path has spoken.
  Refresh();
  context_.edits.SetIndex(target_, checked ? 1 : 0);
}

}  // namespace tessaly::editor
