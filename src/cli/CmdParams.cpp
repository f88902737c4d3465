#include <QJsonArray>

#include "cli/Commands.h"
#include "cli/ParameterText.h"

namespace tessaly::cli {

Outcome RunParams(Session& session, const QStringList& args) {
  bool json = session.output().json();
  for (const QString& arg : args) {
    if (arg != QLatin1String("--json")) {
      return Outcome::Usage(QStringLiteral("params takes only --json."));
    }
    json = true;
  }
  if (!json) return RunHelp(session, {QStringLiteral("set")});
  QJsonArray list;
  for (const model::ParameterDescriptor& parameter : model::Parameters()) {
    list.append(ParameterJson(parameter));
  }
  session.output().Json(list);
  return Outcome::Ok();
}

}  // namespace tessaly::cli
