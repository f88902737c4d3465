#include <QFileInfo>

#include "cli/Commands.h"
#include "connect/DeviceReadout.h"
#include "device/DeviceTypes.h"
#include "programs/PresetFile.h"
#include "programs/ProgramFiles.h"
#include "programs/PushPlan.h"
#include "protocol/ProgramData.h"

namespace tessaly::cli {

Outcome RunPush(Session& session, const QStringList& args) {
  if (args.size() != 1) return Outcome::Usage(QStringLiteral("push needs FILE, a preset file."));
  const QString& path = args[0];
  bool project = false;
  const auto named_type = programs::TypeOfExtension(path, &project);
  if (project) {
    return Outcome::Device(
        QStringLiteral("%1 is a project file; push takes a preset. Nothing was sent.").arg(path));
  }
  const Outcome opened = session.Open();
  if (!opened.ok()) return opened;
  const int type = session.device_type();
  if (named_type && device::IsFamilyB(*named_type) != device::IsFamilyB(type)) {
    return Outcome::Device(QStringLiteral("%1 is a preset of the other family than the %2. "
                                          "Nothing was sent.")
                               .arg(path, device::ModelName(type).trimmed()));
  }
  const programs::PresetRead file = programs::ReadPreset(path, type);
  if (file.status != programs::PresetStatus::kOk) {
    const QString why =
        file.message.isEmpty() ? QStringLiteral("%1 is not a preset.").arg(path) : file.message;
    return Outcome::Device(why + QStringLiteral(" Nothing was sent."));
  }
  const Outcome prepared = session.PrepareEditor();
  if (!prepared.ok()) return prepared;

  protocol::ProgramData& record = *session.store().Data(kCliSlot);
  // What a preset load would leave in the record: the device's own settings stay.
  protocol::ProgramData wanted = record;
  programs::ApplyPreset(file.bytes, wanted);
  const std::vector<programs::PushPacket> packets = programs::PacketsToReach(record, wanted, type);
  for (const programs::PushPacket& packet : packets) {
    if (session.store().Transmit(kCliSlot, packet.command, packet.params) != 0) {
      return Outcome::Device(
          QStringLiteral("The device did not take %1.").arg(packet.parameters.join(", ")));
    }
    session.output().Line(packet.parameters.join(", "));
  }

  // The device's own read-out, not the PC's belief, says whether it now holds the file.
  if (connect::ReadDevice(session.context(), kCliSlot, {}).stopped_at !=
      connect::ReadoutStep::kDone) {
    return Outcome::Device(QStringLiteral("The device could not be read back."));
  }
  const QString difference = programs::FirstDifference(record, wanted, type);
  if (!difference.isEmpty()) {
    return Outcome::Device(QStringLiteral("The device differs from %1 after the push: %2.")
                               .arg(QFileInfo(path).fileName(), difference));
  }
  return Outcome::Ok();
}

}  // namespace tessaly::cli
