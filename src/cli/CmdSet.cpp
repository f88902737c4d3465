#include <QJsonArray>
#include <QJsonObject>

#include "cli/Commands.h"
#include "cli/ParameterTable.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ValueLists.h"

namespace tessaly::cli {
namespace {

bool IsDeviceWord(const QString& text) {
  return text.compare(QLatin1String("device"), Qt::CaseInsensitive) == 0 ||
         text == QLatin1String("-");
}

// The channel the row's scope needs; the error names what the channel should have been.
std::optional<int> ChannelFor(const ParameterRow& row, const QString& text, int type,
                              QString* error) {
  const protocol::Layout& layout = protocol::LayoutOfType(type);
  if (row.scope == Scope::kDevice) {
    if (IsDeviceWord(text)) return -1;
    *error = QStringLiteral("\"%1\" is a device setting: give \"device\" as CHANNEL.")
                 .arg(QString::fromLatin1(row.name));
    return std::nullopt;
  }
  const auto ch = ResolveChannel(text, type);
  if (!ch) {
    QStringList names;
    for (int c = 0; c < layout.channel_count; ++c) names << protocol::ChannelName(type, c);
    *error = QStringLiteral("\"%1\" is not a channel of this device (%2).")
                 .arg(text, names.join(QStringLiteral(", ")));
    return std::nullopt;
  }
  if (row.scope == Scope::kInput && !layout.IsInput(*ch)) {
    *error =
        QStringLiteral("\"%1\" belongs to input channels only.").arg(QString::fromLatin1(row.name));
    return std::nullopt;
  }
  if (row.scope == Scope::kOutput && !layout.IsOutput(*ch)) {
    *error = QStringLiteral("\"%1\" belongs to output channels only.")
                 .arg(QString::fromLatin1(row.name));
    return std::nullopt;
  }
  return ch;
}

// Range of the band, mixer input or routing source the name carries.
bool IndexInRange(const QString& name, int index, int ch, const protocol::Layout& layout,
                  QString* error) {
  if (name.startsWith(QLatin1String("eq.")) && index >= 0 && !layout.IsBand(ch, index)) {
    *error = QStringLiteral("The channel has EQ bands 1 to %1.").arg(layout.BandCount(ch));
    return false;
  }
  if (name.startsWith(QLatin1String("route.")) &&
      (index < 0 || index >= protocol::kRoutingSources)) {
    *error = QStringLiteral("Routing sources are numbered 1 to %1.").arg(protocol::kRoutingSources);
    return false;
  }
  return true;
}

Outcome Verdict(Session& session, const EditReport& report, const QString& name) {
  switch (report.result) {
    case protocol::EditResult::kNotSupported:
      return Outcome::Usage(QStringLiteral("This device type has no \"%1\".").arg(name));
    case protocol::EditResult::kRefused:
      return Outcome::Device(
          QStringLiteral("The edit of \"%1\" was refused in the device's present state.")
              .arg(name));
    case protocol::EditResult::kSendFailed:
      return Outcome::Device(
          QStringLiteral("The device at %1 did not answer the edit.").arg(session.Where()));
    case protocol::EditResult::kDone:
      break;
  }
  if (!report.unchanged && !session.LinkUp()) {
    return Outcome::Device(
        QStringLiteral("The device at %1 did not answer the edit.").arg(session.Where()));
  }
  return Outcome::Ok();
}

}  // namespace

Outcome RunSet(Session& session, const QStringList& args) {
  if (args.size() != 3) {
    return Outcome::Usage(QStringLiteral("set needs CHANNEL PARAMETER VALUE."));
  }
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const int type = session.device_type();
  const protocol::Layout& layout = protocol::LayoutOfType(type);

  QString error;
  const auto parameter = ResolveParameter(args[1], type, &error);
  if (!parameter) return Outcome::Usage(error);
  const auto ch = ChannelFor(*parameter->row, args[0], type, &error);
  if (!ch) return Outcome::Usage(error);
  if (!IndexInRange(QString::fromLatin1(parameter->row->name), parameter->index, *ch, layout,
                    &error)) {
    return Outcome::Usage(error);
  }

  const Outcome prepared = session.PrepareEditor();
  if (!prepared.ok()) return prepared;

  EditTarget target{session, kCliSlot, type, layout, *ch, parameter->index};
  EditReport report;
  const Outcome edited = parameter->row->edit(target, args[2], report);
  if (!edited.ok()) return edited;
  const Outcome verdict = Verdict(session, report, args[1]);
  if (!verdict.ok()) return verdict;

  const QString channel = *ch < 0 ? QStringLiteral("device") : protocol::ChannelName(type, *ch);
  QStringList followers;
  for (const int f : report.followers) followers << protocol::ChannelName(type, f);
  CliOutput& out = session.output();
  if (out.json()) {
    QJsonObject object;
    object[QStringLiteral("channel")] = channel;
    object[QStringLiteral("parameter")] = args[1];
    object[QStringLiteral("value")] = report.shown;
    object[QStringLiteral("sent")] = !report.unchanged;
    object[QStringLiteral("linked")] = QJsonArray::fromStringList(followers);
    out.Json(object);
  } else {
    QString line = QStringLiteral("%1 %2 %3").arg(channel, args[1], report.shown);
    if (report.unchanged) line += QStringLiteral(" (unchanged, nothing sent)");
    if (!followers.isEmpty()) {
      line += QStringLiteral(" (linked: %1)").arg(followers.join(QStringLiteral(", ")));
    }
    out.Line(line);
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli
