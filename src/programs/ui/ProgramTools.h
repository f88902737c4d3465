#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "comm/Comm.h"
#include "programs/ChannelCopy.h"
#include "programs/FileTransfers.h"
#include "programs/ProgramMemory.h"
#include "programs/ProgramNames.h"
#include "programs/SleepTable.h"
#include "protocol/ProgramStore.h"

class QWidget;

namespace tessaly::programs {

// Asks for a file: `save` true for a save dialog. Returns the chosen path, empty when cancelled.
// Tests put their own in place of the platform's dialog.
using FileChooser = std::function<QString(QWidget* parent, bool save, const QString& folder,
                                          const QString& filter)>;
// The platform's file dialog, with the overwrite question on save.
QString ChooseFileWithDialog(QWidget* parent, bool save, const QString& folder,
                             const QString& filter);

// What the program windows of one editor work with.
struct ProgramTools {
  comm::Comm& comm;
  protocol::ProgramStore& store;
  ProgramNames& names;
  SleepTable& sleep;
  ProgramMemory& memory;
  FileTransfers& files;
  ChannelCopier& copier;
  int slot = 0;
  // The channel the editor shows, if any.
  std::function<std::optional<int>()> page_channel;
  FileChooser choose_file = ChooseFileWithDialog;

  device::MessageAnswer Say(device::MessageIcon icon, const QString& title, const QString& text,
                            device::MessageButtons buttons = device::MessageButtons::kOk) const {
    return comm.messenger().Show({icon, title, text, buttons});
  }
  bool Online() const { return comm.state().table[slot].online; }
  int DeviceType() const { return comm.state().table.device_type[static_cast<size_t>(slot)]; }
  std::optional<int> PageChannel() const { return page_channel ? page_channel() : std::nullopt; }
};

}  // namespace tessaly::programs
