#include "editor/ViewAllAction.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QToolBar>

#include "editor/EditorSupport.h"
#include "editor/EditorWindow.h"
#include "graph/ui/ResponseGraphWindow.h"
#include "model/EditPath.h"

namespace tessaly::editor {

void AddViewAllAction(EditorWindow& window) {
  QAction* action = window.toolBar()->addAction(QStringLiteral("View All"));
  action->setObjectName(QStringLiteral("viewAllAction"));
  auto graph = std::make_shared<QPointer<graph::ResponseGraphWindow>>();
  QObject::connect(action, &QAction::triggered, &window, [&window, graph] {
    if (*graph) {
      QWidget* frame = (*graph)->parentWidget();
      (frame != nullptr ? frame : graph->data())->activateWindow();
      return;
    }
    EditorContext& context = window.context();
    auto* shown = new graph::ResponseGraphWindow(context.edits.curves(), context.slot,
                                                 DeviceTypeOf(context), context.messenger);
    shown->setAttribute(Qt::WA_DeleteOnClose);
    if (window.settings() != nullptr) shown->RememberChoices(*window.settings());
    // With several editors open, each graph says whose curves it shows.
    shown->setWindowTitle(QStringLiteral("View All - ") + window.DeviceText());
    *graph = shown;
    QObject::connect(
        &context.edits, &model::EditPath::parameterChanged, shown,
        [shown, slot = context.slot](int edited, int, model::ParamId id, int) {
          if (edited == slot && model::Param(id).op.curves != model::CurveEffect::kNone) {
            shown->Redraw();
          }
        });
    QObject::connect(&context.edits, &model::EditPath::programReplaced, shown,
                     [shown, slot = context.slot](int replaced) {
                       if (replaced == slot) shown->Redraw();
                     });
    // The graph closes with its editor.
    QObject::connect(&window, &QObject::destroyed, shown, &QWidget::close);
    auto* frame = qobject_cast<QMdiSubWindow*>(window.parentWidget());
    if (frame != nullptr && frame->mdiArea() != nullptr) {
      QMdiSubWindow* child = frame->mdiArea()->addSubWindow(shown);
      child->setAttribute(Qt::WA_DeleteOnClose);
      child->show();
    } else {
      shown->show();
    }
  });
}

}  // namespace tessaly::editor
