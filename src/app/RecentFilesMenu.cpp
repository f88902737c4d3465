#include "app/RecentFilesMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "connect/ui/ConnectWorkflow.h"
#include "editor/EditorManager.h"
#include "editor/EditorWindow.h"
#include "editor/OfflinePreset.h"
#include "editor/ProgramActions.h"
#include "programs/ProgramFiles.h"
#include "settings/RecentFiles.h"

namespace tessaly::app {

namespace {

device::MessageAnswer Say(MainWindow& window, device::MessageIcon icon, const QString& text,
                          device::MessageButtons buttons = device::MessageButtons::kOk) {
  return window.state().messenger().Show(
      {icon, QString::fromLatin1(kRecentFilesTitle), text, buttons});
}

// The program buttons of the active editor when it has a device of `type` on-line.
editor::ProgramActions* DeviceActionsFor(MainWindow& window, int type) {
  const int slot = window.editors().ActiveSlot();
  editor::EditorWindow* active = slot >= 0 ? window.editors().EditorOf(slot) : nullptr;
  const comm::CommState& state = window.state().comm_state();
  if (active == nullptr || !state.table[slot].online ||
      state.table.device_type[static_cast<size_t>(slot)] != type) {
    return nullptr;
  }
  return active->findChild<editor::ProgramActions*>();
}

}  // namespace

void AddRecentFilesMenu(MainWindow& window, QMenu& file_menu) {
  QMenu* recent = file_menu.addMenu(QStringLiteral("&Recent files"));
  recent->setObjectName(QStringLiteral("recentFilesMenu"));
  QObject::connect(recent, &QMenu::aboutToShow, &window, [&window, recent] {
    recent->clear();
    const QStringList files = settings::RecentFiles(window.state().settings);
    int number = 1;
    for (const QString& path : files) {
      QAction* item =
          recent->addAction(QStringLiteral("&%1 %2").arg(number++).arg(QFileInfo(path).fileName()));
      item->setObjectName(QStringLiteral("recentFileAction"));
      item->setToolTip(QDir::toNativeSeparators(path));
      item->setStatusTip(QDir::toNativeSeparators(path));
      QObject::connect(item, &QAction::triggered, &window,
                       [&window, path] { OpenRecentFile(window, path); });
    }
    if (files.isEmpty()) recent->addAction(QStringLiteral("(&none)"))->setEnabled(false);
  });
}

void OpenRecentFile(MainWindow& window, const QString& path) {
  const QString name = QFileInfo(path).fileName();
  if (!QFileInfo(path).isFile()) {
    Say(window, device::MessageIcon::kExclamation,
        QStringLiteral("%1 is no longer there; it is taken off the list.")
            .arg(QDir::toNativeSeparators(path)));
    settings::DropRecentFile(window.state().settings, path);
    return;
  }
  bool project = false;
  const std::optional<int> type = programs::TypeOfExtension(path, &project);
  editor::ProgramActions* actions = type ? DeviceActionsFor(window, *type) : nullptr;
  if (project) {
    if (actions != nullptr) {
      actions->LoadProjectFrom(path);
    } else {
      Say(window, device::MessageIcon::kInformation,
          QStringLiteral("%1 is a project: open the editor of a device of its type to load it.")
              .arg(name));
    }
    return;
  }
  if (actions != nullptr &&
      Say(window, device::MessageIcon::kQuestion,
          QStringLiteral("Load %1 into the device of the active editor? No opens it without a "
                         "device.")
              .arg(name),
          device::MessageButtons::kYesNo) == device::MessageAnswer::kYes) {
    actions->LoadPresetFrom(path);
    return;
  }
  editor::OpenPresetOffline(window.editors(), window.connect_workflow().runtime(), path);
}

}  // namespace tessaly::app
