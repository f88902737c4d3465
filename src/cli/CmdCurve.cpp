#include <QJsonArray>
#include <QJsonObject>

#include "cli/Commands.h"
#include "graph/CurveMath.h"
#include "protocol/ValueLists.h"

namespace tessaly::cli {
namespace {

constexpr int kLevelDecimals = 4;

QString Level(double db) { return QString::number(db, 'f', kLevelDecimals); }

}  // namespace

Outcome RunCurve(Session& session, const QStringList& args) {
  bool csv = false;
  QStringList rest;
  for (const QString& arg : args) {
    if (arg == QLatin1String("--csv")) {
      csv = true;
    } else {
      rest << arg;
    }
  }
  if (rest.size() != 1) return Outcome::Usage(QStringLiteral("curve needs CHANNEL."));
  int channel = 0;
  const Outcome prepared = session.PrepareChannel(rest[0], &channel);
  if (!prepared.ok()) return prepared;

  const auto& grid = graph::GraphFreq();
  CliOutput& out = session.output();
  QJsonArray points;
  if (csv && !out.json()) out.Line(QStringLiteral("frequency_hz,level_db"));
  for (int point = 0; point < graph::kGraphPoints; ++point) {
    const double level = session.graph().ChannelValue(kCliSlot, channel, point).value_or(0.0);
    const int hz = grid[static_cast<size_t>(point)];
    if (out.json()) {
      points.append(QJsonArray{hz, level});
    } else {
      out.Line(QStringLiteral("%1%2%3").arg(hz).arg(csv ? QStringLiteral(",") : QStringLiteral(" "),
                                                    Level(level)));
    }
  }
  if (out.json()) {
    QJsonObject object;
    object[QStringLiteral("channel")] = protocol::ChannelName(session.device_type(), channel);
    object[QStringLiteral("points")] = points;
    out.Json(object);
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli
