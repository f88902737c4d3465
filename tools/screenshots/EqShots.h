#pragma once

// Renders a channel page with a measurement, the EQ a target match proposed for it and the
// predicted result (editor-a-measurement.png), and the preview of an EQ import
// (eq-import-preview.png).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <memory>

#include "editor/EditorWindow.h"
#include "editor/EqFileActions.h"
#include "editor/EqImportDialog.h"
#include "editor/MatchWindow.h"
#include "graph/CurveMath.h"
#include "graph/MeasurementBook.h"
#include "graph/ui/ResponseGraphWindow.h"

// A loudspeaker in a room as a measuring tool exports it, 1/48 octave: a low end that rolls off,
// a room mode, a dip, a falling top and a little ripple, around 86 dB.
inline tessaly::graph::Measurement RoomMeasurement() {
  namespace g = tessaly::graph;
  g::Measurement m;
  for (int i = 0; i <= 10 * 48; ++i) {
    const double hz = 20.0 * std::exp2(i / 48.0);
    double db = 86.0 + g::BandResponseDb(g::kBandHighPass, 0, 38, 0.8, hz) +
                g::BandResponseDb(g::kBandBell, 9, 63, 5, hz) +
                g::BandResponseDb(g::kBandBell, -7, 180, 3, hz) +
                g::BandResponseDb(g::kBandBell, 3, 2600, 2, hz) -
                1.2 * std::log2(hz / 1000.0) * (hz > 1000.0 ? 1.0 : 0.0) + 0.8 * std::sin(i * 1.7) +
                0.5 * std::sin(i * 0.31);
    m.hz.push_back(hz);
    m.db.push_back(db);
  }
  return m;
}

inline bool SaveEqShots(tessaly::editor::EditorWindow& editor, const QDir& folder) {
  auto* frame = qobject_cast<QMdiSubWindow*>(editor.parentWidget());
  if (frame == nullptr) return false;
  const int slot = editor.slot();
  auto& book = tessaly::graph::Measurements();
  book.Add(slot, 0, {QStringLiteral("inl-1m.txt"), RoomMeasurement()});
  book.SetOffset(slot, 0, -86.0);
  book.SetSmoothing(slot, 0, 12);
  // The bands a match proposes for it, as a user would take them.
  tessaly::editor::MatchWindow match(editor.context(), 0);
  bool ok = match.Propose() && match.Apply().status == tessaly::model::EditStatus::kDone;
  frame->showMaximized();
  editor.ShowPage(editor.PageIndex(QStringLiteral("channel-inl")));
  QCoreApplication::processEvents();
  const QString page = folder.filePath(QStringLiteral("editor-a-measurement.png"));
  ok = frame->grab().save(page) && ok;
  std::printf("%s\n", qPrintable(page));
  frame->showNormal();
  // The graph window draws it too, the measurement and its predicted result named in the legend.
  if (auto* view_all = editor.findChild<QAction*>(QStringLiteral("viewAllAction"))) {
    view_all->trigger();
    QCoreApplication::processEvents();
    for (auto* graph : editor.window()->findChildren<tessaly::graph::ResponseGraphWindow*>()) {
      QWidget* graph_frame = graph->parentWidget() != nullptr ? graph->parentWidget() : graph;
      if (graph->slot() != slot || !graph_frame->isVisible()) continue;
      graph_frame->showMaximized();
      QCoreApplication::processEvents();
      const QString shot = folder.filePath(QStringLiteral("graph-window-measurement.png"));
      ok = graph_frame->grab().save(shot) && ok;
      std::printf("%s\n", qPrintable(shot));
      graph_frame->close();
    }
  }
  book.ReleaseSlot(slot);

  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("left-speaker.txt"));
  QFile file(path);
  ok = file.open(QIODevice::WriteOnly) && ok;
  file.write(
      "Preamp: -4.5 dB\n"
      "Filter 1: ON LSC Fc 45 Hz Gain 4 dB\n"
      "Filter 2: ON PK Fc 63.2 Hz Gain -8.7 dB Q 4.93\n"
      "Filter 3: ON PK Fc 181 Hz Gain 6.5 dB Q 3.1\n"
      "Filter 4: OFF PK Fc 400 Hz Gain -2 dB Q 1\n"
      "Filter 5: ON PK Fc 2650 Hz Gain -3.2 dB Q 2.07\n"
      "Filter 6: ON AP Fc 1000 Hz Q 0.7\n"
      "Filter 7: ON HS Fc 9000 Hz Gain 2.5 dB\n");
  file.close();
  std::unique_ptr<tessaly::editor::EqImportDialog> dialog(
      tessaly::editor::OpenImportPreview(editor.context(), 0, path, &editor));
  if (!dialog) return false;
  dialog->show();
  QCoreApplication::processEvents();
  const QString preview = folder.filePath(QStringLiteral("eq-import-preview.png"));
  ok = dialog->grab().save(preview) && ok;
  std::printf("%s\n", qPrintable(preview));
  dialog->reject();
  return ok;
}
