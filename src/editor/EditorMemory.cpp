#include "editor/EditorMemory.h"

#include <QSplitter>

#include "device/DeviceTypes.h"
#include "editor/EditorSupport.h"
#include "editor/EditorWindow.h"
#include "settings/Settings.h"

namespace tessaly::editor {

void RememberEditorLayout(EditorWindow& editor, settings::Settings* settings) {
  const QString first = QStringLiteral("gains");
  editor.set_settings(settings);
  if (settings == nullptr) {
    editor.ShowPage(editor.PageIndex(first));
    return;
  }
  const QString prefix = QStringLiteral("editors/%1/")
                             .arg(device::ModelName(DeviceTypeOf(editor.context())).trimmed());
  const QString page_key = prefix + QStringLiteral("page");
  const int last = editor.PageIndex(settings->Value(page_key).toString());
  editor.ShowPage(last >= 0 ? last : editor.PageIndex(first));
  QObject::connect(&editor, &EditorWindow::pageShown, &editor,
                   [&editor, settings, page_key](int index) {
                     settings->SetValue(page_key, editor.PageKey(index));
                   });
  // Every channel page has its own splitter; they are kept in the order the pages were built.
  const QList<QSplitter*> splitters = editor.findChildren<QSplitter*>();
  for (qsizetype i = 0; i < splitters.size(); ++i) {
    QSplitter* splitter = splitters[i];
    const QString key = prefix + QStringLiteral("splitter%1").arg(i);
    splitter->restoreState(settings->Value(key).toByteArray());
    QObject::connect(splitter, &QSplitter::splitterMoved, splitter,
                     [splitter, settings, key] { settings->SetValue(key, splitter->saveState()); });
  }
}

}  // namespace tessaly::editor
