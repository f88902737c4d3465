#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include "cli/Commands.h"
#include "device/DeviceTypes.h"
#include "graph/TextFile.h"
#include "model/EditPath.h"
#include "model/EqFilterText.h"
#include "model/EqImport.h"
#include "model/ParameterDescriptor.h"
#include "protocol/CommonOperations.h"
#include "protocol/ValueLists.h"

namespace tessaly::cli {
namespace {

QString AskedText(const model::ImportBand& b) {
  return b.asked ? model::DescribeAsked(*b.asked) : QStringLiteral("(left over)");
}

void PrintPlan(CliOutput& out, const model::ImportPlan& plan) {
  if (out.json()) {
    QJsonArray bands;
    for (const model::ImportBand& b : plan.bands) {
      QJsonObject band;
      band[QStringLiteral("band")] = b.band + 1;
      band[QStringLiteral("asked")] = b.asked ? model::DescribeAsked(*b.asked) : QJsonValue();
      band[QStringLiteral("held")] = model::DescribeBand(b.held);
      band[QStringLiteral("changes")] = QJsonArray::fromStringList(b.changes);
      bands.append(band);
    }
    QJsonArray refused;
    for (const model::SkippedLine& s : plan.refused) {
      refused.append(QJsonObject{{QStringLiteral("line"), s.line},
                                 {QStringLiteral("text"), s.text},
                                 {QStringLiteral("reason"), s.reason}});
    }
    out.Json(QJsonObject{{QStringLiteral("bands"), bands},
                         {QStringLiteral("skipped"), refused},
                         {QStringLiteral("largest_difference_db"), plan.largest_difference_db}});
    return;
  }
  for (const model::ImportBand& b : plan.bands) {
    QString line = QStringLiteral("Band %1: %2 -> %3")
                       .arg(b.band + 1)
                       .arg(AskedText(b), model::DescribeBand(b.held));
    if (!b.changes.isEmpty())
      line += QStringLiteral(" (%1)").arg(b.changes.join(QStringLiteral("; ")));
    out.Line(line);
  }
  out.Line(QStringLiteral("Largest difference: %1 dB")
               .arg(QString::number(plan.largest_difference_db, 'f', 2)));
}

Outcome Import(Session& session, const QStringList& args) {
  bool dry_run = false;
  QStringList rest;
  for (const QString& arg : args) {
    if (arg == QLatin1String("--dry-run")) {
      dry_run = true;
    } else {
      rest << arg;
    }
  }
  if (rest.size() != 2) {
    return Outcome::Usage(QStringLiteral("eq import needs CHANNEL FILE [--dry-run]."));
  }
  // The file is read before the device is reached: a file that fails sends nothing.
  QString error;
  const auto text = graph::ReadTextFile(rest[1], &error);
  if (!text) return Outcome::Device(error);
  const model::FilterListOrFault read = model::ParseFilterText(*text);
  if (!read.list) {
    return Outcome::Device(QStringLiteral("%1: %2").arg(rest[1], read.fault.Sentence()));
  }
  int channel = 0;
  const Outcome prepared = session.PrepareChannel(rest[0], &channel);
  if (!prepared.ok()) return prepared;
  const auto plan = model::PlanImport(*read.list, *session.store().Data(kCliSlot),
                                      *session.store().State(kCliSlot), channel);
  if (!plan) return Outcome::Usage(QStringLiteral("The channel has no EQ bands."));
  CliOutput& out = session.output();
  for (const model::SkippedLine& s : plan->refused) {
    out.Error(QStringLiteral("Line %1 skipped, %2: %3").arg(s.line).arg(s.reason, s.text));
  }
  PrintPlan(out, *plan);
  if (dry_run) return Outcome::Ok();
  const model::EditOutcome edit = model::ApplyImport(session.edit_path(), kCliSlot, *plan);
  if (edit.status == model::EditStatus::kSendFailed || !session.LinkUp()) {
    return Outcome::Device(
        QStringLiteral("The device at %1 did not answer the import.").arg(session.Where()));
  }
  if (edit.status != model::EditStatus::kDone) return Outcome::Device(edit.reason);
  return Outcome::Ok();
}

Outcome Export(Session& session, const QStringList& args) {
  std::optional<model::FilterFormat> format;
  QStringList rest;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--format") && i + 1 < args.size()) {
      format = model::FilterFormatNamed(args[++i]);
      if (!format) return Outcome::Usage(QStringLiteral("--format takes rew or apo."));
    } else {
      rest << args[i];
    }
  }
  if (rest.size() != 2 || !format) {
    return Outcome::Usage(QStringLiteral("eq export needs CHANNEL FILE --format rew|apo."));
  }
  int channel = 0;
  const Outcome prepared = session.PrepareChannel(rest[0], &channel);
  if (!prepared.ok()) return prepared;
  const protocol::ProgramData& data = *session.store().Data(kCliSlot);
  const protocol::SlotState& state = *session.store().State(kCliSlot);
  std::vector<model::FilterBand> bands;
  for (int b = 0; b < data.layout().BandCount(channel); ++b) {
    const auto global = *data.layout().GlobalBand(channel, b);
    bands.push_back(model::BandAsFilter(*protocol::ReadEqBand(data, channel, b),
                                        state.band_bypass[static_cast<size_t>(global)]));
  }
  const QString name = session.state().table.device_name[static_cast<size_t>(kCliSlot)].trimmed();
  const QString title = QStringLiteral("%1 %2").arg(
      name.isEmpty() ? device::ModelName(session.device_type()).trimmed() : name,
      protocol::ChannelName(session.device_type(), channel));
  QFile file(rest[1]);
  const QByteArray bytes = model::WriteFilterText(*format, bands, title).toUtf8();
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    return Outcome::Device(
        QStringLiteral("%1 could not be written: %2.").arg(rest[1], file.errorString()));
  }
  return Outcome::Ok();
}

}  // namespace

Outcome RunEq(Session& session, const QStringList& args) {
  const QString verb = args.value(0);
  if (verb == QLatin1String("import")) return Import(session, args.mid(1));
  if (verb == QLatin1String("export")) return Export(session, args.mid(1));
  return Outcome::Usage(QStringLiteral("eq takes import or export."));
}

}  // namespace tessaly::cli
