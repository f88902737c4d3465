#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "programs/FileLocations.h"
#include "programs/ProgramMemory.h"

namespace tessaly::programs {

inline constexpr const char* kEditBufferBackup = "edit-buffer";
inline constexpr const char* kProgramMemoryBackup = "program-memory";

enum class FileOutcome {
  kDone,
  kIgnored,    // a preset under ten bytes: nothing happens, no message
  kRefused,    // the file was not taken; nothing sent; `message` says why
  kFailed,     // a disk write or an exchange failed; `message` says what reached where
  kCancelled,  // the user stopped it; `message` says what reached the device
  kDeclined,   // the user said No to going on without a backup; nothing was sent
};

struct FileResult {
  FileOutcome outcome = FileOutcome::kRefused;
  QString message;
  QString backup;  // the backup written before the device or edit buffer was overwritten
};

struct StoreOptions {
  bool backup = true;  // read the device's memory into a project in the backups folder first
  bool verify = true;  // read everything back afterwards and compare
};

// Preset and project files against one device slot: every file written whole or not at all,
// every refused file leaving the device untouched, and a backup before anything is overwritten.
class FileTransfers {
 public:
  FileTransfers(comm::Comm& comm, protocol::ProgramStore& store, WholeProgram& whole,
                ProgramMemory& memory, FileLocations locations);
  // Everything below one folder, as a build run from its folder keeps it.
  FileTransfers(comm::Comm& comm, protocol::ProgramStore& store, WholeProgram& whole,
                ProgramMemory& memory, const QString& startup_dir)
      : FileTransfers(comm, store, whole, memory, FileLocations::InFolder(startup_dir)) {}

  const FileLocations& locations() const { return locations_; }

  // The slot's whole record, image and tail.
  FileResult SavePreset(int slot, const QString& path);
  // Checks the file, keeps the edit buffer under backups/, writes the image in blocks (92, then
  // 49) and shows it; `progress` returning false stops it between blocks. With `verify` the
  // edit buffer is read back and compared.
  FileResult LoadPreset(int slot, const QString& path, std::optional<int> page_channel,
                        const TransferProgress& progress, bool verify = false);

  // Reads every program (95) and writes the project file.
  FileResult SaveProject(int slot, const QString& path, const TransferProgress& progress);
  // Reads a project for the slot's type into `buffer`; " File wrong." when it is not one.
  FileResult LoadProject(int slot, const QString& path, ProjectBuffer& buffer);
  // Backup, write of all programs (94 and 17), read-back: each as the options say.
  FileResult StoreProject(int slot, const ProjectBuffer& buffer, const StoreOptions& options,
                          const TransferProgress& progress);

  // A backup of the edit buffer without any exchange; empty on failure, `reason` saying why.
  QString BackupEditBuffer(int slot, QString* reason = nullptr);
  // Keeps the edit buffer before something overwrites it. When it cannot be kept the user is
  // asked whether to `verb` ("Recall", "Load") anyway: kDone to go on (`backup` empty when
  // nothing was kept), kDeclined when not.
  FileResult KeepEditBufferFirst(int slot, const QString& verb);
  // Off, nothing is kept and nothing asked: the caller has been told to go on without backups.
  void set_keep_backups(bool keep) { keep_backups_ = keep; }
  QString LastEditBufferBackup(int slot) const;

 private:
  comm::Comm& comm_;
  protocol::ProgramStore& store_;
  WholeProgram& whole_;
  ProgramMemory& memory_;
  // Asks whether to go on now that `lost` (a sentence) was not kept.
  bool GoOnWithoutBackup(const QString& lost, const QString& verb);

  FileLocations locations_;
  bool keep_backups_ = true;
};

}  // namespace tessaly::programs
