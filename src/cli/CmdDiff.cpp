#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <map>

#include "cli/Commands.h"
#include "cli/ProgramTools.h"
#include "model/ParameterDescriptor.h"
#include "programs/PresetFile.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramRecords.h"
#include "programs/RecordView.h"
#include "protocol/ProgramData.h"

namespace tessaly::cli {
namespace {

constexpr int kExitUnreadable = 3;
constexpr const char* kDevice = "device";

std::optional<int> TypeOfFile(const QString& path, bool* project) {
  return programs::TypeOfExtension(path, project);
}

// Programs by their label ("edit" for a preset or the edit buffer, "01".. for program slots); an
// empty program has no record.
using Programs = std::map<QString, std::optional<protocol::ProgramData>>;

Programs FromProject(int type, const programs::ProjectBuffer& buffer) {
  Programs out;
  for (size_t p = 0; p < buffer.size(); ++p) {
    out[programs::ProgramNumberText(static_cast<int>(p))] =
        programs::ProjectProgram(type, buffer[p]);
  }
  return out;
}

std::optional<protocol::ProgramData> ReadPresetRecord(const QString& path, int type) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const protocol::ProgramData data(protocol::FamilyOf(type));
  const QByteArray bytes = file.read(data.record_size());
  if (bytes.size() < programs::kPresetMinimumBytes) return std::nullopt;
  return programs::WithFileBytes(data, bytes);
}

struct Operand {
  QString text;
  bool device = false;
  bool project = false;
  std::optional<int> type;
};

std::optional<Programs> Load(Session& session, const Operand& operand, int type,
                             bool project_wanted) {
  if (!operand.device) {
    if (operand.project) {
      QFile file(operand.text);
      programs::ProjectBuffer buffer;
      if (!file.open(QIODevice::ReadOnly) ||
          !programs::DecodeProject(file.readAll(), type, buffer)) {
        return std::nullopt;
      }
      return FromProject(type, buffer);
    }
    auto data = ReadPresetRecord(operand.text, type);
    if (!data) return std::nullopt;
    return Programs{{QStringLiteral("edit"), *data}};
  }
  if (!session.Open().ok()) return std::nullopt;
  CliProgramTools tools(session);
  if (project_wanted) {
    if (!session.ReadOut().ok()) return std::nullopt;
    programs::ProjectBuffer buffer;
    if (tools.memory.ReadAll(kCliSlot, buffer, {}).status != programs::TransferStatus::kDone) {
      return std::nullopt;
    }
    return FromProject(type, buffer);
  }
  if (!session.PrepareEditor().ok()) return std::nullopt;
  return Programs{{QStringLiteral("edit"), *session.store().Data(kCliSlot)}};
}

QString Shown(const programs::ParameterValue& v) {
  return v.in_range ? v.shown : QStringLiteral("byte %1").arg(v.index);
}

}  // namespace

Outcome RunPresetShow(Session& session, const QStringList& args) {
  if (args.size() != 1) return Outcome::Usage(QStringLiteral("preset show needs FILE."));
  bool project = false;
  const auto type = session.options().type ? session.options().type : TypeOfFile(args[0], &project);
  if (!type || project) {
    return Outcome::Usage(
        QStringLiteral("Give --type T for %1: its extension names no preset.").arg(args[0]));
  }
  const auto data = ReadPresetRecord(args[0], *type);
  if (!data)
    return {kExitUnreadable, QStringLiteral("%1 could not be read as a preset.").arg(args[0])};
  CliOutput& out = session.output();
  QJsonArray list;
  programs::VisitParameters(*data, *type, [&](const programs::ParameterValue& v) {
    if (out.json()) {
      list.append(QJsonObject{{QStringLiteral("channel"), v.where.trimmed()},
                              {QStringLiteral("parameter"), v.parameter->name},
                              {QStringLiteral("element"), v.element},
                              {QStringLiteral("value"), Shown(v)},
                              {QStringLiteral("index"), v.index}});
    } else {
      out.Line(QStringLiteral("%1%2: %3").arg(v.where, v.parameter->caption, Shown(v)));
    }
    return true;
  });
  if (out.json()) out.Json(list);
  return Outcome::Ok();
}

Outcome RunDiff(Session& session, const QStringList& args) {
  if (args.size() != 2) return Outcome::Usage(QStringLiteral("diff needs A and B."));
  std::array<Operand, 2> operands;
  for (size_t i = 0; i < 2; ++i) {
    operands[i].text = args[static_cast<int>(i)];
    operands[i].device = operands[i].text == QLatin1String(kDevice);
    if (!operands[i].device) operands[i].type = TypeOfFile(operands[i].text, &operands[i].project);
  }
  std::optional<int> type = session.options().type;
  for (const Operand& o : operands) {
    if (!type && o.type) type = o.type;
  }
  if (!type && (operands[0].device || operands[1].device) && session.Open().ok()) {
    type = session.device_type();
  }
  if (!type)
    return Outcome::Usage(QStringLiteral("Give --type T: no operand names its device type."));
  const bool projects = operands[0].project || operands[1].project;
  std::array<Programs, 2> sides;
  for (size_t i = 0; i < 2; ++i) {
    auto loaded = Load(session, operands[i], *type, projects);
    if (!loaded) {
      return {kExitUnreadable, QStringLiteral("%1 could not be read.").arg(operands[i].text)};
    }
    sides[i] = std::move(*loaded);
  }
  int differences = 0;
  CliOutput& out = session.output();
  for (const auto& [label, a] : sides[0]) {
    const auto other = sides[1].find(label);
    if (other == sides[1].end()) continue;
    const auto& b = other->second;
    if (!a || !b) {
      if (a.has_value() != b.has_value()) {
        out.Line(QStringLiteral("%1: %2 \u2192 %3")
                     .arg(label, a ? QStringLiteral("stored") : QStringLiteral("empty"),
                          b ? QStringLiteral("stored") : QStringLiteral("empty")));
        ++differences;
      }
      continue;
    }
    std::vector<programs::ParameterValue> left;
    programs::VisitParameters(*a, *type, [&left](const programs::ParameterValue& v) {
      left.push_back(v);
      return true;
    });
    size_t n = 0;
    programs::VisitParameters(*b, *type, [&](const programs::ParameterValue& v) {
      if (n < left.size() && left[n].index != v.index) {
        out.Line(QStringLiteral("%1 %2%3: %4 \u2192 %5")
                     .arg(label, v.where, v.parameter->caption, Shown(left[n]), Shown(v)));
        ++differences;
      }
      ++n;
      return true;
    });
  }
  return differences == 0 ? Outcome::Ok() : Outcome{kExitDevice, QString()};
}

}  // namespace tessaly::cli
