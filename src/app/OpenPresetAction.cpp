#include "app/OpenPresetAction.h"

#include <QAction>
#include <QMenu>

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "connect/ui/ConnectWorkflow.h"
#include "editor/OfflinePreset.h"
#include "settings/LastFolders.h"
#include "widgets/FileDialog.h"

namespace tessaly::app {

void AddOpenPresetAction(MainWindow& window, QMenu& file_menu) {
  QAction* open = file_menu.addAction(QStringLiteral("&Open preset..."));
  open->setObjectName(QStringLiteral("openPresetAction"));
  open->setToolTip(QStringLiteral("Edit a preset file without a device"));
  QObject::connect(open, &QAction::triggered, &window, [&window] {
    settings::Settings& settings = window.state().settings;
    const QString path =
        widgets::AskForFile(&window, false, QString::fromLatin1(editor::kOpenPresetTitle),
                            settings::LastFolder(settings, settings::FileKind::kPreset,
                                                 window.state().locations.documents),
                            QStringLiteral("Presets (*.540 *.360 *.480 *.54s)"));
    if (path.isEmpty()) return;
    settings::RememberFolder(settings, settings::FileKind::kPreset, path);
    editor::OpenPresetOffline(window.editors(), window.connect_workflow().runtime(), path);
  });
}

}  // namespace tessaly::app
