#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "cli/CliMessenger.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/Outcome.h"
#include "comm/Comm.h"
#include "connect/ConnectSession.h"
#include "connect/DeviceReadout.h"
#include "model/EditCore.h"
#include "programs/ProgramNames.h"
#include "programs/SleepTable.h"
#include "programs/WholeProgram.h"
#include "protocol/ProgramStore.h"

namespace tessaly::cli {

// The device a command works on always sits in slot 0, as a USB device does in the editor.
inline constexpr int kCliSlot = 0;

// Everything one run of the command line works with: the same core objects the editor windows
// use, created fresh for the run.
class Session {
 public:
  Session(const CliOptions& options, CliOutput& output);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const CliOptions& options() const { return options_; }
  CliOutput& output() { return output_; }
  comm::Comm& comm() { return comm_; }
  comm::CommState& state() { return comm_.state(); }
  protocol::ProgramStore& store() { return store_; }
  connect::ConnectContext& context() { return context_; }
  programs::ProgramNames& names() { return names_; }
  programs::SleepTable& sleep() { return *sleep_.At(kCliSlot); }
  protocol::Dispatcher& dispatcher() { return core_.dispatcher; }
  graph::ResponseCurves& graph() { return core_.curves; }
  model::EditPath& edit_path() { return core_.edits; }
  programs::WholeProgram& whole_program() { return whole_program_; }

  quint16 device_port() const { return comm_.device_port(); }
  int device_type() const;

  // Each step below runs once per session: a batch of commands shares one connection and one
  // read-out, and a step that failed gives the same answer again without a second try.
  //
  // Reaches the device of --tcp or --com in slot 0: link, probe and identify (skipped with
  // --type), then its name.
  Outcome Open();
  // The device read-out the device list runs before an editor opens.
  Outcome ReadOut();
  // Read-out, then the whole-image display an editor runs when it opens a device: slot state and
  // curves in line with the image, nothing sent. Afterwards a lost reply counts as a failure.
  Outcome PrepareEditor();
  // Opens the device, names one of its channels and prepares the record as the editor holds it;
  // `channel` is set on success.
  Outcome PrepareChannel(const QString& name, int* channel);
  // Whether the link of slot 0 is still up (a lost reply closes it).
  bool LinkUp();

  // A text naming where the device was looked for: "127.0.0.2:1001" or "COM3".
  QString Where() const;

 private:
  Outcome OpenOnce();
  Outcome ReadOutOnce();
  Outcome PrepareEditorOnce();
  Outcome OpenTcp();
  Outcome OpenCom();
  Outcome Identify();
  void ReadName();

  const CliOptions& options_;
  CliOutput& output_;
  CliMessenger messenger_;
  comm::Comm comm_;
  connect::ConnectSession connect_session_;
  protocol::ProgramStore store_;
  programs::ProgramNames names_;
  programs::SleepTables sleep_;
  connect::ConnectContext context_;
  model::EditCore core_;
  programs::WholeProgram whole_program_;
  std::optional<Outcome> opened_;
  std::optional<Outcome> read_;
  std::optional<Outcome> prepared_;
};

// The read-out step's name as a user reads it: "program image", "versions", ...
QString ReadoutStepName(connect::ReadoutStep step);

}  // namespace tessaly::cli
