#include <QJsonArray>
#include <QJsonObject>

#include "cli/Commands.h"
#include "cli/ProgramTools.h"
#include "device/DeviceTypes.h"
#include "model/ParameterDescriptor.h"
#include "protocol/Offsets.h"

namespace tessaly::cli {
namespace {

// "N" as the editor shows programs, 1 to the type's count; the 0-based slot.
std::optional<int> ProgramOf(Session& session, const QString& text) {
  const auto n = ParseInteger(text, 1, device::LastProgramIndex(session.device_type()) + 1);
  if (!n) return std::nullopt;
  return *n - 1;
}

// Connects, reads the program number `text` names and readies the edit buffer, in that order:
// the number's range depends on the device found.
// Removes `flag` from the words; true when it was there.
bool TakeFlag(QStringList& args, const char* flag) {
  return args.removeAll(QLatin1String(flag)) > 0;
}

Outcome OpenForProgram(Session& session, const QString& text, int& program) {
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const auto number = ProgramOf(session, text);
  if (!number) return Outcome::Usage(QStringLiteral("\"%1\" is no program number.").arg(text));
  program = *number;
  return session.PrepareEditor();
}

Outcome TransferOutcome(const programs::TransferResult& result, const QString& what) {
  switch (result.status) {
    case programs::TransferStatus::kDone:
      return Outcome::Ok();
    case programs::TransferStatus::kRefused:
      return Outcome::Device(result.message.isEmpty() ? what + QStringLiteral(" was refused.")
                                                      : result.message.trimmed());
    default:
      return Outcome::Device(what + QStringLiteral(" failed: the device did not answer."));
  }
}

Outcome RunList(Session& session) {
  const Outcome read = session.ReadOut();
  if (!read.ok()) return read;
  const programs::ProgramNameList& names = *session.names().At(kCliSlot);
  CliOutput& out = session.output();
  QJsonArray list;
  for (int p = 0; p <= device::LastProgramIndex(session.device_type()); ++p) {
    const bool stored = programs::ProgramNameList::IsStored(names.program_status[p]);
    if (out.json()) {
      list.append(QJsonObject{{QStringLiteral("number"), p + 1},
                              {QStringLiteral("stored"), stored},
                              {QStringLiteral("name"), names.program_name[p]}});
    } else {
      out.Line(QStringLiteral("%1\t%2\t%3")
                   .arg(programs::ProgramNumberText(p),
                        stored ? QStringLiteral("stored") : QStringLiteral("empty"),
                        names.program_name[p]));
    }
  }
  if (out.json()) out.Json(list);
  return Outcome::Ok();
}

}  // namespace

Outcome FileOutcomeOf(const programs::FileResult& result, const QString& what) {
  switch (result.outcome) {
    case programs::FileOutcome::kDone:
      return Outcome::Ok();
    case programs::FileOutcome::kIgnored:
      return Outcome::Device(what + QStringLiteral(" is under ten bytes long; nothing was done."));
    case programs::FileOutcome::kDeclined:
      return Outcome::Device(result.message + QStringLiteral(" --no-backup goes on without it."));
    default:
      return Outcome::Device(result.message.isEmpty() ? what + QStringLiteral(" was refused.")
                                                      : result.message.trimmed());
  }
}

Outcome RunPrograms(Session& session, const QStringList& args) {
  if (!args.isEmpty()) return Outcome::Usage(QStringLiteral("programs takes no arguments."));
  const Outcome opened = session.Open();
  return opened.ok() ? RunList(session) : opened;
}

Outcome RunStore(Session& session, const QStringList& args) {
  if (args.size() != 2) return Outcome::Usage(QStringLiteral("store needs N and NAME."));
  int program = 0;
  const Outcome ready = OpenForProgram(session, args[0], program);
  if (!ready.ok()) return ready;
  CliProgramTools tools(session);
  return TransferOutcome(tools.memory.Store(kCliSlot, program, args[1], {}),
                         QStringLiteral("The store"));
}

Outcome RunRecall(Session& session, const QStringList& arguments) {
  QStringList args = arguments;
  const bool no_backup = TakeFlag(args, "--no-backup");
  if (args.size() != 1) return Outcome::Usage(QStringLiteral("recall needs N [--no-backup]."));
  int program = 0;
  const Outcome ready = OpenForProgram(session, args[0], program);
  if (!ready.ok()) return ready;
  CliProgramTools tools(session);
  tools.files.set_keep_backups(!no_backup);
  const programs::FileResult kept =
      tools.files.KeepEditBufferFirst(kCliSlot, QStringLiteral("Recall"));
  if (kept.outcome != programs::FileOutcome::kDone) return FileOutcomeOf(kept, {});
  return TransferOutcome(tools.memory.Recall(kCliSlot, program, std::nullopt, {}),
                         QStringLiteral("The recall"));
}

Outcome RunPreset(Session& session, const QStringList& arguments) {
  if (!arguments.isEmpty() && arguments[0] == QLatin1String("show"))
    return RunPresetShow(session, arguments.mid(1));
  QStringList args = arguments;
  const bool verify = TakeFlag(args, "--verify");
  const bool no_backup = TakeFlag(args, "--no-backup");
  const bool load = args.value(0) == QLatin1String("load");
  if (args.size() != 2 || (!load && args[0] != QLatin1String("save")) ||
      (!load && (verify || no_backup))) {
    return Outcome::Usage(
        QStringLiteral("preset needs save FILE, load FILE [--verify] [--no-backup] or show FILE."));
  }
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const Outcome prepared = session.PrepareEditor();
  if (!prepared.ok()) return prepared;
  CliProgramTools tools(session);
  tools.files.set_keep_backups(!no_backup);
  if (!load) {
    return FileOutcomeOf(tools.files.SavePreset(kCliSlot, args[1]), QStringLiteral("The preset"));
  }
  return FileOutcomeOf(tools.files.LoadPreset(kCliSlot, args[1], std::nullopt, {}, verify),
                       QStringLiteral("The preset"));
}

Outcome RunProject(Session& session, const QStringList& arguments) {
  QStringList args = arguments;
  const bool no_verify = TakeFlag(args, "--no-verify");
  const bool no_backup = TakeFlag(args, "--no-backup");
  const bool save =
      args.size() == 2 && args[0] == QLatin1String("save") && !no_verify && !no_backup;
  const bool store = args.size() == 2 && args[0] == QLatin1String("store");
  if (!save && !store) {
    return Outcome::Usage(
        QStringLiteral("project needs save FILE or store FILE [--no-verify] [--no-backup]."));
  }
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const Outcome read = session.ReadOut();
  if (!read.ok()) return read;
  session.comm().ReportLinkLoss(true);
  CliProgramTools tools(session);
  if (save) {
    return FileOutcomeOf(tools.files.SaveProject(kCliSlot, args[1], {}),
                         QStringLiteral("The project"));
  }
  programs::ProjectBuffer buffer;
  const programs::FileResult loaded = tools.files.LoadProject(kCliSlot, args[1], buffer);
  if (loaded.outcome != programs::FileOutcome::kDone) {
    return Outcome::Device(
        QStringLiteral("%1 is not a project of this device:%2").arg(args[1], loaded.message));
  }
  programs::StoreOptions options;
  options.verify = !no_verify;
  options.backup = !no_backup;
  return FileOutcomeOf(tools.files.StoreProject(kCliSlot, buffer, options, {}),
                       QStringLiteral("The project"));
}

Outcome RunCopy(Session& session, const QStringList& args) {
  if (args.size() != 2) return Outcome::Usage(QStringLiteral("copy needs SRC and DST channels."));
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const int type = session.device_type();
  const auto src = model::ResolveChannel(args[0], type);
  const auto dst = model::ResolveChannel(args[1], type);
  const protocol::Layout& layout = protocol::LayoutOfType(type);
  const bool inputs = src && dst && layout.IsInput(*src) && layout.IsInput(*dst);
  const bool outputs = src && dst && layout.IsOutput(*src) && layout.IsOutput(*dst);
  if ((!inputs && !outputs) || *src == *dst) {
    return Outcome::Usage(
        QStringLiteral("copy needs two different inputs or two different outputs."));
  }
  const Outcome prepared = session.PrepareEditor();
  if (!prepared.ok()) return prepared;
  CliProgramTools tools(session);
  const int first = inputs ? 0 : layout.first_output;
  const auto result =
      tools.copier.Copy(kCliSlot, inputs ? programs::CopyMode::kInput : programs::CopyMode::kOutput,
                        *src - first, *dst - first, std::nullopt);
  return result == protocol::EditResult::kDone
             ? Outcome::Ok()
             : Outcome::Device(QStringLiteral("The device did not answer the copy."));
}

}  // namespace tessaly::cli
