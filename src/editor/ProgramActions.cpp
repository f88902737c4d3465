#include "editor/ProgramActions.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QToolBar>

#include "editor/EditorCore.h"
#include "editor/EditorWindow.h"
#include "programs/PresetFile.h"
#include "programs/ProgramFiles.h"
#include "programs/ProjectFile.h"
#include "programs/ui/ChannelCopyDialog.h"
#include "programs/ui/ProjectDialog.h"
#include "programs/ui/RecallProgramDialog.h"
#include "programs/ui/SleepSettingsDialog.h"
#include "programs/ui/StoreProgramDialog.h"
#include "programs/ui/TriggerSettingsDialog.h"
#include "settings/RecentFiles.h"
#include "settings/Settings.h"
#include "widgets/StatusNote.h"

namespace tessaly::editor {

using device::MessageIcon;
using programs::FileOutcome;

namespace {

constexpr const char* kLoadTitle = "Load";
constexpr const char* kSaveTitle = "Save";
constexpr const char* kRestoreTitle = "Restore last backup";

// A small, dim word in front of a tool that shares its caption with another.
QLabel* ToolHint(const QString& text, QWidget* parent) {
  auto* hint = new QLabel(text, parent);
  QFont small = hint->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  hint->setFont(small);
  hint->setForegroundRole(QPalette::PlaceholderText);
  hint->setContentsMargins(4, 0, 0, 0);
  return hint;
}

}  // namespace

ProgramActions::ProgramActions(EditorWindow& window, EditorCore& core,
                               connect::ConnectRuntime& runtime)
    : QObject(&window), window_(window), edits_(core.edits) {
  setObjectName(QStringLiteral("programActions"));
  comm::Comm& comm = runtime.context.comm;
  settings_ = runtime.session.settings;
  memory_ = std::make_unique<programs::ProgramMemory>(comm, runtime.store, core.whole_program,
                                                      runtime.names);
  files_ = std::make_unique<programs::FileTransfers>(comm, runtime.store, core.whole_program,
                                                     *memory_, runtime.session.locations);
  copier_ = std::make_unique<programs::ChannelCopier>(comm, runtime.store, core.curves,
                                                      core.whole_program);
  tools_ = std::make_unique<programs::ProgramTools>(programs::ProgramTools{
      comm, runtime.store, runtime.names, *runtime.sleep.At(window.slot()), *memory_, *files_,
      *copier_, window.slot(), nullptr, programs::ChooseFileWithDialog});
  tools_->page_channel = [this]() -> std::optional<int> {
    const int channel = window_.PageChannel(window_.current_page());
    return channel >= 0 ? std::optional<int>(channel) : std::nullopt;
  };

  // Beside the window's toolbar; when the row is short these fold first, so the indicators there
  // keep their room.
  bar_ = new QToolBar(&window);
  bar_->setObjectName(QStringLiteral("programToolBar"));
  bar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  window.AddLeadingToolBar(bar_);
  connect(Add(QStringLiteral("Load"), QStringLiteral("loadPresetAction"),
              QStringLiteral("Load a preset file into the device")),
          &QAction::triggered, this, &ProgramActions::LoadPreset);
  connect(Add(QStringLiteral("Save"), QStringLiteral("savePresetAction"),
              QStringLiteral("Save the program as a preset file")),
          &QAction::triggered, this, &ProgramActions::SavePreset);
  bar_->addSeparator();
  connect(Add(QStringLiteral("Store"), QStringLiteral("storeProgramAction"),
              QStringLiteral("Store the program into the device's program memory")),
          &QAction::triggered, this, &ProgramActions::OpenStore);
  connect(Add(QStringLiteral("Recall"), QStringLiteral("recallProgramAction"),
              QStringLiteral("Recall a program of the device's program memory")),
          &QAction::triggered, this, &ProgramActions::OpenRecall);
  bar_->addSeparator();
  // Two "Copy" tools side by side: the words in front tell them apart.
  bar_->addWidget(ToolHint(QStringLiteral("In"), bar_));
  connect(Add(QStringLiteral("Copy"), QStringLiteral("copyInputAction"),
              QStringLiteral("Input copy: one input channel's settings to another input")),
          &QAction::triggered, this, [this] { OpenCopy(programs::CopyMode::kInput); });
  bar_->addWidget(ToolHint(QStringLiteral("Out"), bar_));
  connect(Add(QStringLiteral("Copy"), QStringLiteral("copyOutputAction"),
              QStringLiteral("Output copy: one output channel's settings to another output")),
          &QAction::triggered, this, [this] { OpenCopy(programs::CopyMode::kOutput); });
  bar_->addSeparator();
  connect(Add(QStringLiteral("Save Prj"), QStringLiteral("saveProjectAction"),
              QStringLiteral("Save every program of the device into a project file")),
          &QAction::triggered, this, &ProgramActions::SaveProject);
  connect(Add(QStringLiteral("Load Prj"), QStringLiteral("loadProjectAction"),
              QStringLiteral("Store a project file into the device's program memory")),
          &QAction::triggered, this, &ProgramActions::LoadProject);
  bar_->addSeparator();
  connect(Add(QStringLiteral("Setting"), QStringLiteral("triggerSettingAction"),
              QStringLiteral("Trigger input and output lines")),
          &QAction::triggered, this, &ProgramActions::OpenTriggerSettings);
  connect(Add(QStringLiteral("Sleep"), QStringLiteral("sleepSettingAction"),
              QStringLiteral("Sleep mode timing")),
          &QAction::triggered, this, &ProgramActions::OpenSleepSettings);
  bar_->addSeparator();
  connect(Add(QString::fromLatin1(kRestoreTitle), QStringLiteral("restoreBackupAction"),
              QStringLiteral("Load the program kept before the last preset load or recall")),
          &QAction::triggered, this, &ProgramActions::RestoreLastBackup);
}

ProgramActions::~ProgramActions() = default;

QAction* ProgramActions::Add(const QString& caption, const QString& name, const QString& tip) {
  auto* action = new QAction(caption, &window_);
  action->setObjectName(name);
  action->setToolTip(tip);
  bar_->addAction(action);
  return action;
}

int ProgramActions::RunModal(QDialog& dialog) {
  const comm::KeepAliveHold hold(tools_->comm);
  return dialog.exec();
}

void ProgramActions::LoadPreset() {
  const programs::FileType* type = programs::FileTypeOf(tools_->DeviceType());
  if (type == nullptr) return;
  const QString folder = programs::PresetFolder(files_->locations().documents, *type);
  QDir().mkpath(folder);
  const QString path = ChooseFile(settings::FileKind::kPreset, false, folder, type->preset_filter);
  if (!path.isEmpty()) LoadPresetFrom(path);
}

QString ProgramActions::ChooseFile(settings::FileKind kind, bool save, const QString& fallback,
                                   const char* filter) {
  const QString folder =
      settings_ != nullptr ? settings::LastFolder(*settings_, kind, fallback) : fallback;
  const QString path = tools_->choose_file(&window_, save, folder, QString::fromLatin1(filter));
  if (settings_ != nullptr) settings::RememberFolder(*settings_, kind, path);
  return path;
}

void ProgramActions::Remember(const QString& path) {
  if (settings_ != nullptr) settings::AddRecentFile(*settings_, path);
}

void ProgramActions::LoadPresetFrom(const QString& path) {
  QProgressDialog progress(QStringLiteral("Loading %1").arg(QFileInfo(path).fileName()),
                           QStringLiteral("Cancel"), 0, 1, &window_);
  progress.setObjectName(QStringLiteral("presetProgress"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  std::optional<comm::KeepAliveHold> hold(std::in_place, tools_->comm);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const programs::FileResult result = files_->LoadPreset(
      tools_->slot, path, tools_->PageChannel(), [&progress](int done, int total, const QString&) {
        progress.setMaximum(total);
        progress.setValue(done);
        QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
        return !progress.wasCanceled();
      });
  QApplication::restoreOverrideCursor();
  hold.reset();
  progress.close();
  switch (result.outcome) {
    case FileOutcome::kIgnored:
    case FileOutcome::kDeclined:  // the user answered the backup question
      return;
    case FileOutcome::kDone:
      if (!offline_file_.isEmpty()) {
        // With no device the editor now holds the loaded file; Save asks again before writing.
        offline_file_ = path;
        write_back_agreed_ = false;
        window_.SetOfflineFile(path);
      }
      window_.SetCaption(QFileInfo(path).fileName(), LoadedFrom::kFile);
      Remember(path);
      return;
    case FileOutcome::kRefused:
      if (result.message == QString::fromLatin1(programs::kFileNotFoundText)) {
        tools_->Say(MessageIcon::kExclamation, QString::fromLatin1(programs::kFileNotFoundTitle),
                    result.message);
      } else if (!result.message.isEmpty()) {
        tools_->Say(MessageIcon::kCritical, QString::fromLatin1(kLoadTitle), result.message);
      }
      return;
    default:
      tools_->Say(MessageIcon::kCritical, QString::fromLatin1(kLoadTitle), result.message);
      return;
  }
}

void ProgramActions::SetOffline(const QString& path) {
  offline_file_ = path;
  window_.SetOfflineFile(path);
  static constexpr const char* kNeedDevice[] = {
      "storeProgramAction", "recallProgramAction", "copyInputAction",      "copyOutputAction",
      "saveProjectAction",  "loadProjectAction",   "triggerSettingAction", "sleepSettingAction",
      "sendAllAction",      "rereadAction",        "compareAction"};
  for (const char* name : kNeedDevice) {
    if (auto* action = window_.findChild<QAction*>(QLatin1String(name))) {
      action->setEnabled(false);
      action->setToolTip(QString::fromLatin1(kNoDeviceTip));
    }
  }
}

std::optional<QString> ProgramActions::OfflineSavePath() {
  const QFileInfo opened(offline_file_);
  const QFileInfo backups(files_->locations().backups);
  // A backup is what "Restore last backup" falls back on: it is never written over.
  if (backups.exists() && opened.absoluteDir().canonicalPath() == backups.canonicalFilePath()) {
    tools_->Say(
        MessageIcon::kInformation, QString::fromLatin1(kSaveTitle),
        QStringLiteral("%1 is a backup and stays as it is: choose where to save the preset.")
            .arg(opened.fileName()));
    return QString();
  }
  if (!write_back_agreed_) {
    write_back_agreed_ =
        tools_->Say(MessageIcon::kQuestion, QString::fromLatin1(kSaveTitle),
                    QStringLiteral("Save writes your changes back into %1, replacing what it "
                                   "holds now. Go on?")
                        .arg(QDir::toNativeSeparators(opened.absoluteFilePath())),
                    device::MessageButtons::kYesNo) == device::MessageAnswer::kYes;
    if (!write_back_agreed_) return std::nullopt;
  }
  return offline_file_;
}

void ProgramActions::SavePreset() {
  const programs::FileType* type = programs::FileTypeOf(tools_->DeviceType());
  if (type == nullptr) return;
  const QString folder = programs::PresetFolder(files_->locations().documents, *type);
  QDir().mkpath(folder);
  QString path;
  if (!offline_file_.isEmpty()) {
    const std::optional<QString> target = OfflineSavePath();
    if (!target) return;
    path = *target;
  }
  const bool save_as = path.isEmpty();
  if (save_as) {
    path = ChooseFile(settings::FileKind::kPreset, true, folder, type->preset_filter);
  }
  if (path.isEmpty()) return;
  const programs::FileResult result = files_->SavePreset(tools_->slot, path);
  if (result.outcome != FileOutcome::kDone) {
    tools_->Say(MessageIcon::kCritical, QString::fromLatin1(kSaveTitle), result.message);
    return;
  }
  Remember(path);
  widgets::ShowStatusNote(window_, widgets::SavedNote(QStringLiteral("Preset saved"), path));
  // Saved elsewhere off-line: the editor now holds that file, the user chose it.
  if (!offline_file_.isEmpty() && save_as) {
    offline_file_ = path;
    write_back_agreed_ = true;
    window_.SetOfflineFile(path);
  }
}

void ProgramActions::OpenStore() {
  programs::StoreProgramDialog dialog(*tools_, &window_);
  RunModal(dialog);
  const programs::ProgramNameList* names = tools_->names.At(tools_->slot);
  if (dialog.stored_program() >= 0 && names != nullptr) {
    window_.SetCaption(names->program_name[static_cast<size_t>(dialog.stored_program())],
                       LoadedFrom::kProgram);
  }
}

void ProgramActions::OpenRecall() {
  programs::RecallProgramDialog dialog(*tools_, &window_);
  RunModal(dialog);
  const programs::ProgramNameList* names = tools_->names.At(tools_->slot);
  if (dialog.recalled_program() >= 0 && names != nullptr) {
    window_.SetCaption(names->program_name[static_cast<size_t>(dialog.recalled_program())],
                       LoadedFrom::kProgram);
  }
}

void ProgramActions::OpenCopy(programs::CopyMode mode) {
  programs::ChannelCopyDialog dialog(*tools_, mode, &window_);
  RunModal(dialog);
}

void ProgramActions::SaveProject() {
  programs::ProjectDialog dialog(*tools_, programs::ProjectDialog::Mode::kSave, {}, &window_);
  RunModal(dialog);
  if (!dialog.saved_file().isEmpty()) {
    widgets::ShowStatusNote(
        window_, widgets::SavedNote(QStringLiteral("Project saved"), dialog.saved_file()));
    Remember(dialog.saved_file());
  }
}

void ProgramActions::LoadProject() {
  const programs::FileType* type = programs::FileTypeOf(tools_->DeviceType());
  if (type == nullptr) return;
  const QString folder = programs::ProjectFolder(files_->locations().documents, *type);
  QDir().mkpath(folder);
  const QString path =
      ChooseFile(settings::FileKind::kProject, false, folder, type->project_load_filter);
  if (!path.isEmpty()) LoadProjectFrom(path);
}

void ProgramActions::LoadProjectFrom(const QString& path) {
  programs::ProjectBuffer buffer;
  const programs::FileResult result = files_->LoadProject(tools_->slot, path, buffer);
  if (result.outcome != FileOutcome::kDone) {
    tools_->Say(MessageIcon::kExclamation, QString::fromLatin1(programs::kLoadProjectTitle),
                result.message);
    return;
  }
  Remember(path);
  programs::ProjectDialog dialog(*tools_, programs::ProjectDialog::Mode::kStore, std::move(buffer),
                                 &window_);
  RunModal(dialog);
}

void ProgramActions::OpenTriggerSettings() {
  programs::TriggerSettingsDialog dialog(*tools_, &window_);
  if (RunModal(dialog) != QDialog::Accepted) return;
  // The device page shows both switches (and blocks standby while the input trigger is on).
  for (const model::ParamId id : {model::ParamId::kTriggerInput, model::ParamId::kTriggerStandby}) {
    edits_.Announce(tools_->slot, id);
  }
}

void ProgramActions::OpenSleepSettings() {
  programs::SleepSettingsDialog dialog(*tools_, &window_);
  RunModal(dialog);
}

void ProgramActions::RestoreLastBackup() {
  const QString path = files_->LastEditBufferBackup(tools_->slot);
  if (path.isEmpty()) {
    tools_->Say(MessageIcon::kInformation, QString::fromLatin1(kRestoreTitle),
                QStringLiteral("No program has been kept yet: a backup is made before every "
                               "preset load and recall."));
    return;
  }
  const QString when =
      QFileInfo(path).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  if (tools_->Say(MessageIcon::kQuestion, QString::fromLatin1(kRestoreTitle),
                  QStringLiteral("Load the program kept on %1 into the device?").arg(when),
                  device::MessageButtons::kYesNo) != device::MessageAnswer::kYes) {
    return;
  }
  LoadPresetFrom(path);
}

ProgramActions* InstallProgramActions(EditorWindow& window, EditorCore& core,
                                      connect::ConnectRuntime& runtime) {
  return new ProgramActions(window, core, runtime);
}

}  // namespace tessaly::editor
