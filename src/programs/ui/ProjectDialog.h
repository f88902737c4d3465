#pragma once

#include <QDialog>

#include "programs/ui/ProgramTools.h"

class QCheckBox;
class QPushButton;

namespace tessaly::programs {

class TransferPanel;

inline constexpr const char* kSaveProjectTitle = "Save Project";
inline constexpr const char* kStoreProjectTitle = "Store Project";
inline constexpr const char* kStoreToDeviceTitle = "Store to Device";
inline constexpr const char* kOnlineOnlyText = "Function available only in On-line mode";
inline constexpr const char* kMemoryUpdatedText = "Device's memory updated";
inline constexpr const char* kStoreFailedText = "Error: store not possible";

// The project window: in save mode it reads every program of the device into a project file, in
// store mode it writes a loaded project into the device's program memory.
class ProjectDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Mode { kSave, kStore };

  // `project` is what a store writes (ignored in save mode).
  ProjectDialog(ProgramTools tools, Mode mode, ProjectBuffer project = {},
                QWidget* parent = nullptr);

  void SaveToFile();
  void StoreToDevice();

  QCheckBox* backup_check() const { return backup_; }
  QCheckBox* verify_check() const { return verify_; }
  TransferPanel* panel() const { return panel_; }
  // The project file a save wrote in full; empty when none was.
  const QString& saved_file() const { return saved_file_; }

 private:
  void Busy(bool busy);
  QString Detail(const FileResult& result) const;

  ProgramTools tools_;
  Mode mode_;
  ProjectBuffer project_;
  TransferPanel* panel_;
  QPushButton* close_;
  QPushButton* action_;
  QCheckBox* backup_ = nullptr;
  QCheckBox* verify_ = nullptr;
  QString saved_file_;
};

}  // namespace tessaly::programs
