#pragma once

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <optional>

#include "comm/Comm.h"
#include "connect/ConnectRuntime.h"
#include "connect/ConnectSession.h"
#include "connect/TcpConnect.h"
#include "meters/MeterPoll.h"
#include "model/EditCore.h"
#include "programs/ChannelCopy.h"
#include "programs/FileTransfers.h"
#include "programs/ProgramMemory.h"
#include "programs/WholeProgram.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingMessenger.h"
#include "support/SimHarness.h"
#include "support/WiredCore.h"

namespace tessaly::reliability {

enum class Line { kTcp, kPty };

// One run's core, wired as the application wires it, with one emulated device on line in `slot`
// over TCP (on its own loop-back address) or a pseudo-terminal. Fresh for every cell.
struct MatrixRig : test::WiredCore {
  MatrixRig(Line line, int type, QString address) : line_(line), type_(type), address_(address) {}

  programs::ProgramNames& names = runtime.names;
  programs::WholeProgram whole{comm, store, editing.dispatcher, editing.curves, names};
  programs::ProgramMemory memory{comm, store, whole, names};
  QTemporaryDir folder;
  programs::FileTransfers files{comm, store, whole, memory, folder.path()};
  programs::ChannelCopier copier{comm, store, editing.curves, whole};
  test::SimHarness emulator;
  sim::SimDevice* device = nullptr;
  int slot = 0;
  programs::ProjectBuffer project;  // what a sequence prepared for its run
  QString PathOf(const QString& name) const { return folder.filePath(name); }

  Line line() const { return line_; }
  int type() const { return type_; }
  const QString& address() const { return address_; }

  // Starts the device; `registered` also puts it on line in the slot as a connect leaves it.
  bool Start(bool registered, int programs = 0);
  // The network connect of one address, inside an event loop as in its window.
  connect::ConnectOutcome RunTcpConnect();

  protocol::ProgramData& data() { return *store.Data(slot); }
  // Empty when the PC's image equals the device's running program, else the first difference.
  std::string ImageDifference() const;
  // Messages shown more than once; empty when each was shown at most once.
  QString RepeatedMessage() const;
  int LossMessages() const;

 private:
  Line line_;
  int type_;
  QString address_;
  int index_ = -1;
};

}  // namespace tessaly::reliability
