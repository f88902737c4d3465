#pragma once

#include <QStringList>

#include "cli/Outcome.h"
#include "cli/Session.h"

namespace tessaly::cli {

// One function per command; each gets the command's own arguments.
Outcome RunScan(Session& session, const QStringList& args);
Outcome RunIdentify(Session& session, const QStringList& args);
Outcome RunReadout(Session& session, const QStringList& args);
Outcome RunSet(Session& session, const QStringList& args);
Outcome RunSend(Session& session, const QStringList& args);
Outcome RunCurve(Session& session, const QStringList& args);
Outcome RunHelp(Session& session, const QStringList& args);
Outcome RunGet(Session& session, const QStringList& args);
Outcome RunParams(Session& session, const QStringList& args);
Outcome RunBatch(Session& session, const QStringList& args);
Outcome RunPrograms(Session& session, const QStringList& args);
Outcome RunStore(Session& session, const QStringList& args);
Outcome RunRecall(Session& session, const QStringList& args);
Outcome RunPreset(Session& session, const QStringList& args);
Outcome RunPresetShow(Session& session, const QStringList& args);
Outcome RunProject(Session& session, const QStringList& args);
Outcome RunCopy(Session& session, const QStringList& args);
Outcome RunDiff(Session& session, const QStringList& args);
Outcome RunPush(Session& session, const QStringList& args);
Outcome RunMeters(Session& session, const QStringList& args);
Outcome RunEq(Session& session, const QStringList& args);
Outcome RunPaths(Session& session, const QStringList& args);

// Runs one command by name; unknown commands are a usage error.
Outcome RunCommandWords(Session& session, const QString& command, const QStringList& args);
// Runs the command the options name (or the help they ask for).
Outcome RunCommand(Session& session);

}  // namespace tessaly::cli
