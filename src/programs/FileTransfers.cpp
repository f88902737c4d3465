#include "programs/FileTransfers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "comm/Comm.h"
#include "programs/PresetFile.h"
#include "programs/ProgramFiles.h"
#include "programs/WholeProgram.h"
#include "protocol/ProgramStore.h"

namespace tessaly::programs {
namespace {

FileResult Outcome(FileOutcome outcome, const QString& message = {}) {
  FileResult result;
  result.outcome = outcome;
  result.message = message;
  return result;
}

// Writes a backup whole or not at all; empty on success, else the system's reason.
QString WriteBackup(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
      file.write(bytes) == bytes.size() && file.commit()) {
    return {};
  }
  const QString reason = file.errorString();
  file.cancelWriting();
  return reason.isEmpty() ? QStringLiteral("unknown error") : reason;
}

QByteArray Bytes(std::span<const uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

// What could not be kept where, and why; `what` is the program or programs that were to be kept.
QString LostText(const char* what, const QString& folder, const QString& reason) {
  return QStringLiteral("%1 could not be kept in %2: %3.")
      .arg(QString::fromLatin1(what), QDir::toNativeSeparators(folder), reason);
}

QString StoppedText(int programs_done, int count) {
  if (programs_done == 0) return QStringLiteral("No program reached the device.");
  return QStringLiteral("Programs 01 to %1 of %2 reached the device; the others are as before.")
      .arg(ProgramNumberText(programs_done - 1))
      .arg(count);
}

}  // namespace

FileTransfers::FileTransfers(comm::Comm& comm, protocol::ProgramStore& store, WholeProgram& whole,
                             ProgramMemory& memory, FileLocations locations)
    : comm_(comm),
      store_(store),
      whole_(whole),
      memory_(memory),
      locations_(std::move(locations)) {}

FileResult FileTransfers::SavePreset(int slot, const QString& path) {
  const protocol::ProgramData* data = store_.Data(slot);
  if (data == nullptr) return Outcome(FileOutcome::kRefused);
  const QString error = WriteFileAtomically(path, Bytes(data->Record()));
  return error.isEmpty() ? Outcome(FileOutcome::kDone) : Outcome(FileOutcome::kFailed, error);
}

QString FileTransfers::BackupEditBuffer(int slot, QString* reason) {
  const protocol::ProgramData* data = store_.Data(slot);
  const auto type = store_.DeviceType(slot);
  const FileType* file_type = type ? FileTypeOf(*type) : nullptr;
  if (data == nullptr || file_type == nullptr) {
    if (reason != nullptr) *reason = QStringLiteral("the device's program is not known");
    return {};
  }
  const QString path = NewBackupPath(locations_.backups, QString::fromLatin1(kEditBufferBackup),
                                     QString::fromLatin1(file_type->preset_extension));
  const QString why = WriteBackup(path, Bytes(data->Record()));
  if (why.isEmpty()) return path;
  if (reason != nullptr) *reason = why;
  return {};
}

bool FileTransfers::GoOnWithoutBackup(const QString& lost, const QString& verb) {
  return comm_.messenger().Show({device::MessageIcon::kExclamation, QStringLiteral("Backup"),
                                 lost + QLatin1Char(' ') + verb + QStringLiteral(" anyway?"),
                                 device::MessageButtons::kYesNo}) == device::MessageAnswer::kYes;
}

FileResult FileTransfers::KeepEditBufferFirst(int slot, const QString& verb) {
  FileResult result;
  result.outcome = FileOutcome::kDone;
  if (!keep_backups_) return result;
  QString reason;
  result.backup = BackupEditBuffer(slot, &reason);
  if (!result.backup.isEmpty()) return result;
  const QString lost = LostText("The program running in the device", locations_.backups, reason);
  if (GoOnWithoutBackup(lost, verb)) return result;
  return Outcome(FileOutcome::kDeclined, lost + QStringLiteral(" Nothing was sent."));
}

QString FileTransfers::LastEditBufferBackup(int slot) const {
  const auto type = store_.DeviceType(slot);
  const FileType* file_type = type ? FileTypeOf(*type) : nullptr;
  if (file_type == nullptr) return {};
  return LastBackupPath(locations_.backups, QString::fromLatin1(kEditBufferBackup),
                        QString::fromLatin1(file_type->preset_extension));
}

FileResult FileTransfers::LoadPreset(int slot, const QString& path, std::optional<int> page_channel,
                                     const TransferProgress& progress, bool verify) {
  protocol::ProgramData* data = store_.Data(slot);
  const auto type = store_.DeviceType(slot);
  if (data == nullptr || !type) return Outcome(FileOutcome::kRefused);
  const PresetRead read = ReadPreset(path, *type);
  switch (read.status) {
    case PresetStatus::kIgnored:
      return Outcome(FileOutcome::kIgnored);
    case PresetStatus::kOk:
      break;
    default:
      return Outcome(FileOutcome::kRefused, read.message);
  }
  // The whole file is judged before a byte moves: a damaged file must not half-replace a program.
  protocol::ProgramData candidate = *data;
  ApplyPreset(read.bytes, candidate);
  const QString bad = FirstBadParameter(candidate, *type);
  if (!bad.isEmpty()) {
    return Outcome(FileOutcome::kRefused,
                   QStringLiteral("This preset holds a value no device can have: %1. "
                                  "The file is damaged or not a preset; nothing was sent.")
                       .arg(bad));
  }
  FileResult result = KeepEditBufferFirst(slot, QStringLiteral("Load"));
  if (result.outcome != FileOutcome::kDone) return result;
  data->SetRecord(candidate.Record());
  bool stop = false;
  const WriteResult written = whole_.WriteImage(
      slot, page_channel,
      [&](int step, int total) {
        if (progress && !progress(step, total, {})) stop = true;
      },
      [&] { return stop; });
  const int blocks = (data->image_size() + kImageBlockBytes - 1) / kImageBlockBytes;
  switch (written.status) {
    case WriteStatus::kDone: {
      TransferResult checked;
      checked.status = TransferStatus::kDone;
      if (verify) checked = memory_.VerifyEditBuffer(slot);
      result.outcome =
          checked.status == TransferStatus::kDone ? FileOutcome::kDone : FileOutcome::kFailed;
      result.message = checked.message.isEmpty() && result.outcome != FileOutcome::kDone
                           ? QStringLiteral("The preset was sent; the check was not completed.")
                           : checked.message;
      return result;
    }
    case WriteStatus::kCancelled:
      result.outcome = FileOutcome::kCancelled;
      break;
    default:
      result.outcome = FileOutcome::kFailed;
      break;
  }
  result.message =
      QStringLiteral("Stopped after %1 of %2 blocks: the device holds part of the preset.")
          .arg(written.blocks_sent)
          .arg(blocks);
  if (!result.backup.isEmpty()) {
    result.message += QStringLiteral(" The former program is kept in %1.")
                          .arg(QFileInfo(result.backup).fileName());
  }
  return result;
}

FileResult FileTransfers::SaveProject(int slot, const QString& path,
                                      const TransferProgress& progress) {
  const auto type = store_.DeviceType(slot);
  if (!type || FileTypeOf(*type) == nullptr) return Outcome(FileOutcome::kRefused);
  ProjectBuffer buffer;
  const TransferResult read = memory_.ReadAll(slot, buffer, progress);
  if (read.status == TransferStatus::kCancelled) {
    return Outcome(FileOutcome::kCancelled, QStringLiteral("Nothing was saved."));
  }
  if (read.status != TransferStatus::kDone) {
    return Outcome(FileOutcome::kFailed,
                   QStringLiteral("The device did not answer; nothing was saved."));
  }
  const QString error = WriteFileAtomically(path, EncodeProject(*type, buffer));
  return error.isEmpty() ? Outcome(FileOutcome::kDone) : Outcome(FileOutcome::kFailed, error);
}

FileResult FileTransfers::LoadProject(int slot, const QString& path, ProjectBuffer& buffer) {
  const auto type = store_.DeviceType(slot);
  QFile file(path);
  if (!type || !file.open(QIODevice::ReadOnly)) {
    return Outcome(FileOutcome::kRefused, QString::fromLatin1(kFileWrongText));
  }
  if (!DecodeProject(file.readAll(), *type, buffer)) {
    return Outcome(FileOutcome::kRefused, QString::fromLatin1(kFileWrongText));
  }
  return Outcome(FileOutcome::kDone);
}

FileResult FileTransfers::StoreProject(int slot, const ProjectBuffer& buffer,
                                       const StoreOptions& options,
                                       const TransferProgress& progress) {
  const auto type = store_.DeviceType(slot);
  const FileType* file_type = type ? FileTypeOf(*type) : nullptr;
  if (file_type == nullptr || static_cast<int>(buffer.size()) < file_type->program_count) {
    return Outcome(FileOutcome::kRefused);
  }
  FileResult result;
  if (options.backup) {
    ProjectBuffer before;
    const TransferResult read = memory_.ReadAll(slot, before, progress);
    if (read.status != TransferStatus::kDone) {
      result.outcome = read.status == TransferStatus::kCancelled ? FileOutcome::kCancelled
                                                                 : FileOutcome::kFailed;
      result.message = QStringLiteral(
          "The device's memory could not be kept first; nothing "
          "was stored.");
      return result;
    }
    result.backup = NewBackupPath(locations_.backups, QString::fromLatin1(kProgramMemoryBackup),
                                  QString::fromLatin1(file_type->project_extension));
    const QString reason = WriteBackup(result.backup, EncodeProject(*type, before));
    if (!reason.isEmpty()) {
      result.backup.clear();
      const QString lost =
          LostText("The programs stored in the device", locations_.backups, reason);
      if (!GoOnWithoutBackup(lost, QStringLiteral("Store"))) {
        return Outcome(FileOutcome::kDeclined, lost + QStringLiteral(" Nothing was stored."));
      }
    }
  }
  const TransferResult written = memory_.WriteAll(slot, buffer, progress);
  if (written.status != TransferStatus::kDone) {
    result.outcome = written.status == TransferStatus::kCancelled ? FileOutcome::kCancelled
                                                                  : FileOutcome::kFailed;
    result.message = StoppedText(written.programs_done, file_type->program_count);
    return result;
  }
  if (options.verify) {
    const TransferResult verified = memory_.Verify(slot, buffer, progress);
    if (verified.status != TransferStatus::kDone) {
      result.outcome = verified.status == TransferStatus::kCancelled ? FileOutcome::kCancelled
                                                                     : FileOutcome::kFailed;
      result.message =
          verified.message.isEmpty()
              ? QStringLiteral("Every program was stored; the check was not completed.")
              : verified.message;
      return result;
    }
  }
  result.outcome = FileOutcome::kDone;
  return result;
}

}  // namespace tessaly::programs
