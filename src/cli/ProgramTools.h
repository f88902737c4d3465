#pragma once

#include <QDir>
#include <memory>

#include "cli/Session.h"
#include "programs/ChannelCopy.h"
#include "programs/FileTransfers.h"
#include "programs/ProgramMemory.h"

namespace tessaly::cli {

// The program memory and file operations of the editor over a command-line session; backups go
// where the application keeps them, a build run from its folder taking the current directory for
// its start-up folder.
struct CliProgramTools {
  explicit CliProgramTools(Session& session)
      : memory(session.comm(), session.store(), session.whole_program(), session.names()),
        files(session.comm(), session.store(), session.whole_program(), memory,
              programs::FileLocations::OfThisBuild(QDir::currentPath())),
        copier(session.comm(), session.store(), session.graph(), session.whole_program()) {}

  programs::ProgramMemory memory;
  programs::FileTransfers files;
  programs::ChannelCopier copier;
};

// The outcome of a file operation as an exit status and sentence.
Outcome FileOutcomeOf(const programs::FileResult& result, const QString& what);

}  // namespace tessaly::cli
