#include <QDir>
#include <QJsonObject>

#include "cli/Commands.h"
#include "connect/InitConfig.h"
#include "programs/FileLocations.h"

namespace tessaly::cli {

Outcome RunPaths(Session& session, const QStringList& args) {
  if (!args.isEmpty()) return Outcome::Usage(QStringLiteral("paths takes no arguments."));
  const programs::FileLocations at = programs::FileLocations::OfThisBuild(QDir::currentPath());
  const QString init_cfg = QDir::toNativeSeparators(connect::InitConfigPath(at.config));
  const QString documents = QDir::toNativeSeparators(at.documents);
  const QString backups = QDir::toNativeSeparators(at.backups);
  CliOutput& out = session.output();
  if (out.json()) {
    out.Json(QJsonObject{{QStringLiteral("init_cfg"), init_cfg},
                         {QStringLiteral("presets_and_projects"), documents},
                         {QStringLiteral("backups"), backups}});
  } else {
    out.Line(QStringLiteral("init.cfg\t") + init_cfg);
    out.Line(QStringLiteral("presets and projects\t") + documents);
    out.Line(QStringLiteral("backups\t") + backups);
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli
