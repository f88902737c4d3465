#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "cli/Commands.h"
#include "cli/DeviceInfo.h"
#include "connect/DeviceReadout.h"
#include "device/DeviceTypes.h"
#include "protocol/Offsets.h"

namespace tessaly::cli {
namespace {

QString Trimmed(QString text) {
  while (text.endsWith(QLatin1Char(' '))) text.chop(1);
  return text;
}

QString TailHex(const protocol::ProgramData& data, int first, int count) {
  std::vector<uint8_t> bytes;
  for (int i = first; i < first + count; ++i) bytes.push_back(data.Tail(i).value_or(0));
  return HexBlock(bytes);
}

QJsonObject ReadoutJson(Session& session) {
  const int type = session.device_type();
  const bool family_b = device::IsFamilyB(type);
  const comm::DeviceTable& table = session.state().table;
  const protocol::ProgramData& data = *session.store().Data(kCliSlot);
  const protocol::SlotState& state = *session.store().State(kCliSlot);
  const programs::ProgramNameList& names = *session.names().At(kCliSlot);

  QJsonObject object = InfoOfSlot(session, kCliSlot).Json();
  object.remove(QStringLiteral("slot"));
  object[QStringLiteral("firmware")] = table.firmware_version[kCliSlot];
  object[QStringLiteral("second_version")] = table.second_version[kCliSlot];
  object[QStringLiteral("image")] = HexBlock(data.Image());
  object[QStringLiteral("settings")] = TailHex(data, 0, connect::kSettingsReadEnd);
  object[QStringLiteral("ip")] = QStringLiteral("%1.%2.%3.%4")
                                     .arg(state.ip[0])
                                     .arg(state.ip[1])
                                     .arg(state.ip[2])
                                     .arg(state.ip[3]);
  object[QStringLiteral("routing")] =
      family_b ? QJsonValue(TailHex(data, protocol::kTailRouting, connect::kSettingsBlock))
               : QJsonValue();
  QJsonArray programs;
  const int last = std::min(device::LastProgramIndex(type), programs::kMaxPrograms - 1);
  for (int p = 0; p <= last; ++p) {
    const double status = names.program_status[static_cast<size_t>(p)];
    QJsonObject program;
    program[QStringLiteral("number")] = p;
    program[QStringLiteral("status")] = static_cast<int>(status);
    program[QStringLiteral("stored")] = programs::ProgramNameList::IsStored(status);
    program[QStringLiteral("name")] = Trimmed(names.program_name[static_cast<size_t>(p)]);
    programs.append(program);
  }
  object[QStringLiteral("programs")] = programs;
  object[QStringLiteral("current_program")] = Trimmed(names.current_program_name);
  object[QStringLiteral("sleep_table")] = HexBlock(session.sleep().bytes);
  return object;
}

}  // namespace

Outcome RunReadout(Session& session, const QStringList& args) {
  QString file;
  if (args.size() == 2 && args[0] == QLatin1String("--out")) {
    file = args[1];
  } else if (!args.isEmpty()) {
    return Outcome::Usage(QStringLiteral("readout takes only --out FILE."));
  }
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const Outcome read = session.ReadOut();
  if (!read.ok()) return read;

  const QJsonObject object = ReadoutJson(session);
  if (file.isEmpty()) {
    session.output().Json(object);
    return Outcome::Ok();
  }
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly) ||
      out.write(QJsonDocument(object).toJson(QJsonDocument::Indented)) < 0 || !out.commit()) {
    return Outcome::Device(QStringLiteral("The read-out could not be written to %1.").arg(file));
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli
