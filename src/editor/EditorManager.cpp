#include "editor/EditorManager.h"

#include <QAction>
#include <QDateTime>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "connect/DeviceList.h"
#include "device/DeviceTypes.h"
#include "editor/DeviceSync.h"
#include "editor/EditorMemory.h"
#include "editor/EditorMeters.h"
#include "editor/FamilyAEditor.h"
#include "editor/FamilyBEditor.h"
#include "editor/ProgramActions.h"

namespace tessaly::editor {

namespace {

// An editor that does not fit the area fills it: scroll bars around it would hide its meters and
// mute buttons. One that fits opens at its natural size.
void ShowFitted(QMdiSubWindow& frame, const QMdiArea& area) {
  const QSize room = area.viewport()->size();
  const QSize natural = frame.sizeHint().expandedTo(frame.minimumSizeHint());
  if (natural.width() > room.width() || natural.height() > room.height()) {
    frame.resize(natural.boundedTo(room));  // what "restore" comes back to
    frame.showMaximized();
    return;
  }
  frame.resize(natural);
  frame.show();
}

}  // namespace

EditorManager::EditorManager(connect::ConnectRuntime& runtime, QMdiArea* mdi_area,
                             int16_t& editor_count, bool decimal_comma, QObject* parent)
    : QObject(parent),
      runtime_(runtime),
      comm_(runtime.context.comm),
      core_(runtime),
      mdi_area_(mdi_area),
      editor_count_(editor_count),
      decimal_comma_(decimal_comma) {
  undo_ = new QAction(QStringLiteral("&Undo"), this);
  undo_->setObjectName(QStringLiteral("undoAction"));
  undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo_ = new QAction(QStringLiteral("&Redo"), this);
  redo_->setObjectName(QStringLiteral("redoAction"));
  redo_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  connect(undo_, &QAction::triggered, this, &EditorManager::OnUndo);
  connect(redo_, &QAction::triggered, this, &EditorManager::OnRedo);
  // The undo entry is recorded after the views are told of the edit, so the actions follow it.
  connect(&core_.edits, &model::EditPath::undoRecorded, this, &EditorManager::RefreshUndoActions);
  connect(&core_.edits, &model::EditPath::parameterChanged, this,
          &EditorManager::RefreshUndoActions);
  connect(&core_.edits, &model::EditPath::programReplaced, this,
          &EditorManager::RefreshUndoActions);
  connect(mdi_area_, &QMdiArea::subWindowActivated, this, &EditorManager::OnSubWindowActivated);
  connect(&comm_, &comm::Comm::deviceLost, this, &EditorManager::OnDeviceLost);
  connect(&core_.edits, &model::EditPath::pendingChanged, this,
          [this](int slot) { emit pendingCountChanged(slot, core_.edits.Pending(slot).Count()); });
  send_all_ = new QAction(QStringLiteral("&Send all to device"), this);
  send_all_->setObjectName(QStringLiteral("sendAllMenuAction"));
  connect(send_all_, &QAction::triggered, this, [this] {
    if (EditorWindow* editor = EditorOf(ActiveSlot())) {
      if (auto* sync = editor->findChild<DeviceSync*>()) sync->SendAll();
    }
  });
  reread_ = new QAction(QStringLiteral("Re-&read from device"), this);
  reread_->setObjectName(QStringLiteral("rereadMenuAction"));
  connect(reread_, &QAction::triggered, this, [this] {
    if (EditorWindow* editor = EditorOf(ActiveSlot())) {
      if (auto* sync = editor->findChild<DeviceSync*>()) sync->Reread(true);
    }
  });
  RefreshUndoActions();
}

EditorManager::~EditorManager() {
  // The windows reach into the core; they must not outlive it.
  for (QPointer<QMdiSubWindow>& frame : frames_) delete frame.data();
}

EditorWindow* EditorManager::Open(int slot) {
  if (slot < 0 || slot > comm::kLastSlot) return nullptr;
  comm::CommState& state = comm_.state();
  const auto index = static_cast<size_t>(slot);
  if (state.table[slot].editor_open) {
    comm_.messenger().Show(
        {device::MessageIcon::kExclamation, QString::fromLatin1(connect::kAlreadyOpenTitle),
         QString::fromLatin1(connect::kAlreadyOpenText), device::MessageButtons::kOk});
    return nullptr;
  }
  state.current_device = static_cast<int16_t>(slot);
  comm_.ReportLinkLoss(true);
  core_.whole_program.ShowProgram(slot);

  EditorWindow* editor = CreateWindow(slot);
  InstallProgramActions(*editor, core_, runtime_);
  InstallDeviceSync(*editor, core_, runtime_);
  auto* frame = new QMdiSubWindow;
  frame->setObjectName(QStringLiteral("editorFrame%1").arg(slot));
  frame->setAttribute(Qt::WA_DeleteOnClose);
  frame->setWidget(editor);
  mdi_area_->addSubWindow(frame);
  frames_[index] = frame;
  connect(editor, &EditorWindow::closed, this, &EditorManager::OnEditorClosed);
  connect(editor, &EditorWindow::channelPageShown, this, [this, slot](int channel) {
    core_.whole_program.ShowChannelPage(slot, channel, programs::PageSend::kSilent);
  });
  editor->ShowLockState();
  RememberEditorLayout(*editor, runtime_.session.settings);
  const programs::ProgramNameList* names = runtime_.names.At(slot);
  editor->SetCaption(names != nullptr ? names->current_program_name : QString(),
                     LoadedFrom::kProgram);
  ShowFitted(*frame, *mdi_area_);
  mdi_area_->setActiveSubWindow(frame);

  AttachMeters(*editor, comm_);
  ++editor_count_;
  state.table[slot].editor_open = true;
  RefreshUndoActions();
  emit editorOpened(slot);
  return editor;
}

EditorWindow* EditorManager::CreateWindow(int slot) {
  EditorContext context{core_.edits, comm_.messenger(), slot, decimal_comma_};
  if (device::IsFamilyB(comm_.state().table.device_type[static_cast<size_t>(slot)])) {
    return new FamilyBEditor(context, comm_);
  }
  return new FamilyAEditor(context, comm_);
}

EditorWindow* EditorManager::EditorOf(int slot) const {
  if (slot < 0 || slot > comm::kLastSlot) return nullptr;
  QMdiSubWindow* frame = frames_[static_cast<size_t>(slot)];
  return frame != nullptr ? qobject_cast<EditorWindow*>(frame->widget()) : nullptr;
}

int EditorManager::ActiveSlot() const {
  QMdiSubWindow* current = mdi_area_->currentSubWindow();
  if (current == nullptr) return -1;
  for (size_t slot = 0; slot < frames_.size(); ++slot) {
    if (frames_[slot] == current) return static_cast<int>(slot);
  }
  return -1;
}

void EditorManager::OnSubWindowActivated(QMdiSubWindow* window) {
  for (size_t slot = 0; slot < frames_.size(); ++slot) {
    if (window != nullptr && frames_[slot] == window) {
      comm_.state().current_device = static_cast<int16_t>(slot);
      break;
    }
  }
  RefreshUndoActions();
}

void EditorManager::OnEditorClosed(int slot) {
  comm::CommState& state = comm_.state();
  --editor_count_;
  state.table[slot].editor_open = false;
  frames_[static_cast<size_t>(slot)] = nullptr;
  RefreshUndoActions();
  emit editorClosed(slot);
}

void EditorManager::OnDeviceLost(int slot, const QString& reason) {
  if (EditorWindow* editor = EditorOf(slot))
    editor->ShowOffline(reason, QDateTime::currentDateTime());
}

void EditorManager::ReconnectEditor(int slot) {
  EditorWindow* editor = EditorOf(slot);
  if (editor == nullptr) return;
  QMdiSubWindow* frame = frames_[static_cast<size_t>(slot)];
  if (frame->isMinimized()) frame->showNormal();
  mdi_area_->setActiveSubWindow(frame);
  if (auto* sync = editor->findChild<DeviceSync*>()) sync->Reconnect();
}

std::optional<bool> EditorManager::MayQuitWithPending() {
  QStringList lines;
  for (int slot = 0; slot < comm::kSlotCount; ++slot) {
    const int count = core_.edits.Pending(slot).Count();
    EditorWindow* editor = EditorOf(slot);
    if (count == 0 || editor == nullptr) continue;
    lines << QStringLiteral("%1: %2 edit%3")
                 .arg(editor->DeviceText())
                 .arg(count)
                 .arg(count == 1 ? QString() : QStringLiteral("s"));
  }
  if (lines.isEmpty()) return std::nullopt;
  const QString text = QStringLiteral("These devices never got edits made here:\n") +
                       lines.join(QLatin1Char('\n')) + QStringLiteral("\nQuit and lose them?");
  return comm_.messenger().Show({device::MessageIcon::kQuestion,
                                 QString::fromLatin1(kPendingCloseTitle), text,
                                 device::MessageButtons::kYesNo}) == device::MessageAnswer::kYes;
}

void EditorManager::CloseAllWithoutAsking() {
  for (int slot = 0; slot < comm::kSlotCount; ++slot) {
    if (EditorWindow* editor = EditorOf(slot)) editor->CloseWithoutAsking();
  }
}

void EditorManager::RefreshUndoActions() {
  const int slot = ActiveSlot();
  const model::UndoStack* stack = slot >= 0 ? &core_.edits.Undo(slot) : nullptr;
  const bool can_undo = stack != nullptr && stack->CanUndo();
  const bool can_redo = stack != nullptr && stack->CanRedo();
  undo_->setEnabled(can_undo);
  // An editor of a preset file has no device to send to or read from.
  const EditorWindow* editor = slot >= 0 ? EditorOf(slot) : nullptr;
  const bool has_device = editor != nullptr && editor->offline_file().isEmpty();
  send_all_->setEnabled(has_device);
  reread_->setEnabled(has_device);
  redo_->setEnabled(can_redo);
  undo_->setText(can_undo ? QStringLiteral("&Undo ") + stack->UndoText() : QStringLiteral("&Undo"));
  redo_->setText(can_redo ? QStringLiteral("&Redo ") + stack->RedoText() : QStringLiteral("&Redo"));
}

void EditorManager::OnUndo() {
  const int slot = ActiveSlot();
  if (slot < 0) return;
  (void)core_.edits.Undo(slot).UndoLast();
  RefreshUndoActions();
}

void EditorManager::OnRedo() {
  const int slot = ActiveSlot();
  if (slot < 0) return;
  (void)core_.edits.Undo(slot).RedoLast();
  RefreshUndoActions();
}

}  // namespace tessaly::editor
