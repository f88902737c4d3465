#pragma once

// Renders the program, copy, trigger and sleep windows of an editor: dialog-<name>-<family>.png.
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "editor/EditorWindow.h"
#include "editor/ProgramActions.h"
#include "programs/ui/ChannelCopyDialog.h"
#include "programs/ui/ProjectDialog.h"
#include "programs/ui/RecallProgramDialog.h"
#include "programs/ui/SleepSettingsDialog.h"
#include "programs/ui/StoreProgramDialog.h"
#include "programs/ui/TriggerSettingsDialog.h"

inline bool SaveProgramDialogs(tessaly::editor::EditorWindow* editor, const QString& family,
                               const QDir& folder) {
  namespace p = tessaly::programs;
  auto* actions =
      editor != nullptr ? editor->findChild<tessaly::editor::ProgramActions*>() : nullptr;
  if (actions == nullptr) return false;
  const p::ProgramTools& tools = actions->tools();
  const auto shoot = [&](QDialog* dialog, const QString& name) {
    std::unique_ptr<QDialog> owner(dialog);
    dialog->show();
    QCoreApplication::processEvents();
    const QString path = folder.filePath(QStringLiteral("dialog-%1-%2.png").arg(name, family));
    const bool ok = dialog->grab().save(path);
    std::printf("%s\n", qPrintable(path));
    return ok;
  };
  bool ok = shoot(new p::StoreProgramDialog(tools, editor), QStringLiteral("store"));
  ok = shoot(new p::RecallProgramDialog(tools, editor), QStringLiteral("recall")) && ok;
  ok = shoot(new p::ProjectDialog(tools, p::ProjectDialog::Mode::kSave, {}, editor),
             QStringLiteral("project-save")) &&
       ok;
  ok = shoot(new p::ProjectDialog(tools, p::ProjectDialog::Mode::kStore, {}, editor),
             QStringLiteral("project-store")) &&
       ok;
  ok = shoot(new p::ChannelCopyDialog(tools, p::CopyMode::kInput, editor),
             QStringLiteral("copy-input")) &&
       ok;
  ok = shoot(new p::ChannelCopyDialog(tools, p::CopyMode::kOutput, editor),
             QStringLiteral("copy-output")) &&
       ok;
  ok = shoot(new p::TriggerSettingsDialog(tools, editor), QStringLiteral("trigger")) && ok;
  ok = shoot(new p::SleepSettingsDialog(tools, editor), QStringLiteral("sleep")) && ok;
  return ok;
}
