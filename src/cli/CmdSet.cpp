#include <QJsonArray>
#include <QJsonObject>

#include "cli/Commands.h"
#include "cli/Targets.h"
#include "model/EditPath.h"
#include "model/ParameterDescriptor.h"
#include "protocol/SlotState.h"

namespace tessaly::cli {
namespace {

// The exit status and sentence of an edit that did not go through.
Outcome Verdict(Session& session, const model::EditOutcome& edit, const QString& name) {
  switch (edit.status) {
    case model::EditStatus::kNotSupported:
      return Outcome::Usage(QStringLiteral("This device type has no \"%1\".").arg(name));
    case model::EditStatus::kRefused:
      // The value was read before: what is left is the device's present state.
      return Outcome::Device(edit.reason);
    case model::EditStatus::kHeld:
      return Outcome::Device(
          QStringLiteral("The edit of \"%1\" was held; nothing was sent.").arg(name));
    case model::EditStatus::kSendFailed:
      return Outcome::Device(
          QStringLiteral("The device at %1 did not answer the edit.").arg(session.Where()));
    case model::EditStatus::kDone:
      break;
  }
  if (!edit.unchanged && !session.LinkUp()) {
    return Outcome::Device(
        QStringLiteral("The device at %1 did not answer the edit.").arg(session.Where()));
  }
  return Outcome::Ok();
}

// A delay typed with its unit is reported in that unit, whatever unit the device shows.
QString ShownAsTyped(const model::ParameterDescriptor& parameter, const model::EditOutcome& edit,
                     const QString& text, model::ParseOptions options) {
  if (parameter.kind != model::ValueKind::kDelay) return edit.shown;
  const QString typed = text.trimmed();
  if (typed.endsWith(QLatin1String("ms"), Qt::CaseInsensitive)) {
    options.delay_unit = protocol::kDelayUnitTime;
  } else if (typed.endsWith(QLatin1Char('m'), Qt::CaseInsensitive)) {
    options.delay_unit = protocol::kDelayUnitMeter;
  } else {
    return edit.shown;
  }
  return parameter.Show(edit.index, options);
}

void PrintEdit(Session& session, const QString& channel, const QString& parameter,
               const model::EditOutcome& edit) {
  const int type = session.device_type();
  QStringList followers;
  for (const int f : edit.followers) followers << ChannelText(type, f);
  CliOutput& out = session.output();
  if (out.json()) {
    QJsonObject object;
    object[QStringLiteral("channel")] = channel;
    object[QStringLiteral("parameter")] = parameter;
    object[QStringLiteral("value")] = edit.shown;
    object[QStringLiteral("sent")] = !edit.unchanged;
    object[QStringLiteral("linked")] = QJsonArray::fromStringList(followers);
    out.Json(object);
    return;
  }
  QString line = QStringLiteral("%1 %2 %3").arg(channel, parameter, edit.shown);
  if (edit.unchanged) line += QStringLiteral(" (unchanged, nothing sent)");
  if (!followers.isEmpty()) {
    line += QStringLiteral(" (linked: %1)").arg(followers.join(QStringLiteral(", ")));
  }
  out.Line(line);
}

}  // namespace

Outcome RunSet(Session& session, const QStringList& args) {
  if (args.size() != 3) {
    return Outcome::Usage(QStringLiteral("set needs CHANNEL PARAMETER VALUE."));
  }
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const TargetOrError resolved = ResolveTarget(args[0], args[1], session.device_type(), kCliSlot);
  if (!resolved.target) return resolved.error;
  const model::EditTarget& target = *resolved.target;
  model::ParseOptions options;
  options.unit_suffix = true;
  options.device_type = session.device_type();
  options.channel = target.channel;
  // Text that cannot be a value of the parameter is a usage error, found before any traffic.
  const model::ParseResult parsed = target.parameter().Parse(args[2], options);
  if (!parsed.ok()) return Outcome::Usage(parsed.refusal);
  const Outcome prepared = session.PrepareEditor();
  if (!prepared.ok()) return prepared;

  model::EditOutcome edit = session.edit_path().SetText(target, args[2], options);
  const Outcome verdict = Verdict(session, edit, args[1]);
  if (!verdict.ok()) return verdict;
  edit.shown = ShownAsTyped(target.parameter(), edit, args[2], options);
  PrintEdit(session, ChannelText(session.device_type(), target.channel), args[1], edit);
  return Outcome::Ok();
}

Outcome RunGet(Session& session, const QStringList& args) {
  if (args.size() != 2) return Outcome::Usage(QStringLiteral("get needs CHANNEL PARAMETER."));
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const TargetOrError resolved = ResolveTarget(args[0], args[1], session.device_type(), kCliSlot);
  if (!resolved.target) return resolved.error;
  const Outcome prepared = session.PrepareEditor();
  if (!prepared.ok()) return prepared;

  const model::EditTarget& target = *resolved.target;
  const int index = session.edit_path().Index(target);
  if (index < 0) {
    return Outcome::Usage(QStringLiteral("This device type has no \"%1\".").arg(args[1]));
  }
  const QString shown = session.edit_path().Shown(target);
  CliOutput& out = session.output();
  if (out.json()) {
    QJsonObject object;
    object[QStringLiteral("channel")] = ChannelText(session.device_type(), target.channel);
    object[QStringLiteral("parameter")] = args[1];
    object[QStringLiteral("value")] = shown;
    object[QStringLiteral("index")] = index;
    out.Json(object);
  } else {
    out.Line(shown);
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli
