#pragma once

#include <QObject>

#include "connect/ConnectSession.h"

namespace tessaly::connect {

// The connection state of one run and the per-slot tables a read-out fills, owned by the main
// window for the whole run.
class ConnectRuntime : public QObject {
 public:
  ConnectRuntime(comm::Comm& comm, const QString& program_folder, QObject* parent = nullptr)
      : QObject(parent), store(comm), context{comm, session, store, names, sleep} {
    session.program_folder = program_folder;
    setObjectName(QStringLiteral("ConnectRuntime"));
  }

  ConnectSession session;
  protocol::ProgramStore store;
  programs::ProgramNames names;
  programs::SleepTable sleep;
  ConnectContext context;

  static ConnectRuntime* Find(QObject* owner) {
    return dynamic_cast<ConnectRuntime*>(
        owner->findChild<QObject*>(QStringLiteral("ConnectRuntime"), Qt::FindDirectChildrenOnly));
  }
};

}  // namespace tessaly::connect
