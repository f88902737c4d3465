#include "editor/OfflinePreset.h"

#include <QFileInfo>

#include "connect/ConnectRuntime.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "editor/ProgramActions.h"
#include "programs/PresetFile.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramRecords.h"
#include "settings/RecentFiles.h"

namespace tessaly::editor {
namespace {

// The highest slot no device and no editor uses: found devices fill the table from the bottom.
int FreeSlot(const comm::DeviceTable& table) {
  for (int slot = comm::kLastSlot; slot >= 0; --slot) {
    if (!table[slot].registered && !table[slot].online && !table[slot].editor_open) return slot;
  }
  return -1;
}

}  // namespace

EditorWindow* OpenPresetOffline(EditorManager& editors, connect::ConnectRuntime& runtime,
                                const QString& path) {
  comm::Comm& comm = runtime.context.comm;
  const auto refuse = [&comm](const QString& text) -> EditorWindow* {
    comm.messenger().Show({device::MessageIcon::kExclamation, QString::fromLatin1(kOpenPresetTitle),
                           text, device::MessageButtons::kOk});
    return nullptr;
  };
  bool project = false;
  const auto type = programs::TypeOfExtension(path, &project);
  if (!type || project) {
    return refuse(QStringLiteral("%1 is not a preset file: its extension names no device type.")
                      .arg(QFileInfo(path).fileName()));
  }
  const programs::PresetRead read = programs::ReadPreset(path, *type);
  if (read.status == programs::PresetStatus::kIgnored) {
    return refuse(
        QStringLiteral("%1 is too short to be a preset.").arg(QFileInfo(path).fileName()));
  }
  if (read.status != programs::PresetStatus::kOk) return refuse(read.message);
  const int slot = FreeSlot(comm.table());
  if (slot < 0)
    return refuse(QStringLiteral("Every device slot is in use; close an editor first."));

  comm.table().device_type[static_cast<size_t>(slot)] = static_cast<int16_t>(*type);
  comm.table()[slot].online = false;
  editors.core().whole_program.ResetProgram(slot);
  protocol::ProgramData& data = *runtime.store.Data(slot);
  // Off-line the whole record is the file's, so that Save writes back what was opened.
  const protocol::ProgramData candidate = programs::WithFileBytes(data, read.bytes);
  const QString bad = programs::FirstBadParameter(candidate, *type);
  if (!bad.isEmpty()) {
    return refuse(QStringLiteral("This preset holds a value no device can have: %1.").arg(bad));
  }
  data.SetRecord(candidate.Record());
  EditorWindow* window = editors.Open(slot);
  if (window == nullptr) return nullptr;
  if (runtime.session.settings != nullptr) settings::AddRecentFile(*runtime.session.settings, path);
  if (auto* actions = window->findChild<ProgramActions*>()) {
    actions->SetOffline(path);
  } else {
    window->SetOfflineFile(path);
  }
  return window;
}

}  // namespace tessaly::editor
