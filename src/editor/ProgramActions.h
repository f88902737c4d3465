#pragma once

#include <QObject>
#include <memory>
#include <optional>

#include "programs/ChannelCopy.h"
#include "programs/ui/ProgramTools.h"
#include "settings/LastFolders.h"

class QAction;
class QDialog;
class QToolBar;

namespace tessaly::connect {
struct ConnectRuntime;
}

namespace tessaly::settings {
class Settings;
}

namespace tessaly::model {
class EditPath;
}

namespace tessaly::editor {

class EditorWindow;
struct EditorCore;

// The editor's program, file and project buttons: Load, Save, Store, Recall, the two Copy
// buttons, Save Prj, Load Prj, the trigger "Setting", the sleep settings and "Restore last
// backup". Every window they open is modal and holds the keep-alive while it is up.
class ProgramActions : public QObject {
  Q_OBJECT

 public:
  ProgramActions(EditorWindow& window, EditorCore& core, connect::ConnectRuntime& runtime);
  ~ProgramActions() override;

  programs::ProgramTools& tools() { return *tools_; }
  // Replaces the platform's file dialog (tests give the path straight away).
  void set_file_chooser(programs::FileChooser chooser) { tools_->choose_file = std::move(chooser); }
  // Makes these the tools of an editor of the preset file `path` with no device: the tools that
  // need one are off and say why; Save writes the file back once the user agreed, and never
  // over a backup.
  void SetOffline(const QString& path);

  void LoadPreset();
  // Loads the preset at `path` into the device, or into the record with no device.
  void LoadPresetFrom(const QString& path);
  void SavePreset();
  void OpenStore();
  void OpenRecall();
  void OpenCopy(programs::CopyMode mode);
  void SaveProject();
  void LoadProject();
  // Reads the project at `path` and offers its programs to store.
  void LoadProjectFrom(const QString& path);
  void OpenTriggerSettings();
  void OpenSleepSettings();
  void RestoreLastBackup();

 private:
  QAction* Add(const QString& caption, const QString& name, const QString& tip);
  // Shows `dialog` modally with the keep-alive held; returns its result.
  int RunModal(QDialog& dialog);
  // The file dialog of `kind`, opened where the last file of that kind was chosen.
  QString ChooseFile(settings::FileKind kind, bool save, const QString& fallback,
                     const char* filter);
  // A file that went to or from the device heads the Recent files list.
  void Remember(const QString& path);
  // Where Save writes in an editor with no device: the opened file, empty for a file the user
  // must choose, nullopt when the user declined.
  std::optional<QString> OfflineSavePath();

  EditorWindow& window_;
  model::EditPath& edits_;
  std::unique_ptr<programs::ProgramMemory> memory_;
  std::unique_ptr<programs::FileTransfers> files_;
  std::unique_ptr<programs::ChannelCopier> copier_;
  std::unique_ptr<programs::ProgramTools> tools_;
  QToolBar* bar_ = nullptr;
  QString offline_file_;
  bool write_back_agreed_ = false;
  settings::Settings* settings_ = nullptr;
};

// Puts the program buttons on an editor window; the window owns them.
ProgramActions* InstallProgramActions(EditorWindow& window, EditorCore& core,
                                      connect::ConnectRuntime& runtime);

}  // namespace tessaly::editor
