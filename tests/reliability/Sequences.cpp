#include "reliability/Sequences.h"

#include "connect/DeviceReadout.h"
#include "connect/DeviceResync.h"
#include "connect/UsbConnect.h"
#include "device/DeviceTypes.h"

namespace tessaly::reliability {
namespace {

constexpr int kA = device::kTypeRk540;
constexpr int kB = device::kType540S;
constexpr int kFewPrograms = device::kTypeRl4800;  // the fewest program slots: whole memories
const std::vector<Line> kBoth = {Line::kTcp, Line::kPty};

bool Going(int, int, const QString&) { return true; }

model::EditOutcome GainEdit(MatrixRig& rig, const char* text) {
  return rig.edits.SetText({rig.slot, model::ParamId::kGain, 0, -1}, QString::fromLatin1(text));
}

void LinkInputs(MatrixRig& rig) {
  for (const int channel : {0, 1}) rig.store.State(rig.slot)->link_member[channel] = 1;
}

// The program status as a read-out leaves it, so a recall knows which programs exist.
void ReadProgramStatus(MatrixRig& rig) {
  programs::ProgramNameList& list = *rig.names.At(rig.slot);
  for (int p = 0; p < rig.device->program_count(); ++p) {
    list.program_status[static_cast<size_t>(p)] = rig.device->ProgramStatus(p);
    list.program_name[static_cast<size_t>(p)] = rig.device->ProgramName(p);
  }
}

std::vector<Sequence> Build() {
  std::vector<Sequence> all;
  all.push_back({.name = "usb-connect",
                 .type = kB,
                 .lines = {Line::kPty},
                 .run =
                     [](MatrixRig& rig) {
                       connect::UsbConnect usb(rig.context);
                       connect::ConnectHooks hooks;
                       hooks.choose_demo_type = [](int16_t preset) { return preset; };
                       return usb.Run(hooks) == connect::ConnectOutcome::kDevicesListed;
                     },
                 .registered = false});
  all.push_back({.name = "tcp-connect",
                 .type = kA,
                 .lines = {Line::kTcp},
                 .run =
                     [](MatrixRig& rig) {
                       return rig.RunTcpConnect() == connect::ConnectOutcome::kDevicesListed;
                     },
                 .registered = false});
  for (const auto& [name, type] : {std::pair{"readout-a", kA}, std::pair{"readout-b", kB}}) {
    all.push_back({.name = name,
                   .type = type,
                   .lines = kBoth,
                   .run =
                       [](MatrixRig& rig) {
                         return connect::ReadDevice(rig.context, rig.slot, {}).complete();
                       },
                   .keeps_image = true});
  }
  all.push_back(
      {.name = "linked-edit",
       .type = kB,
       .lines = kBoth,
       .run = [](MatrixRig& rig) { return GainEdit(rig, "-3").status == model::EditStatus::kDone; },
       .keeps_image = true,
       .prepare = LinkInputs});
  all.push_back({.name = "undo-redo",
                 .type = kA,
                 .lines = kBoth,
                 .run =
                     [](MatrixRig& rig) {
                       model::UndoStack& undo = rig.edits.Undo(rig.slot);
                       return undo.UndoLast().status == model::EditStatus::kDone &&
                              undo.RedoLast().status == model::EditStatus::kDone;
                     },
                 .keeps_image = true,
                 .prepare =
                     [](MatrixRig& rig) {
                       LinkInputs(rig);
                       (void)GainEdit(rig, "-4.5");
                     }});
  all.push_back({.name = "whole-image-write",
                 .type = kB,
                 .lines = kBoth,
                 .run =
                     [](MatrixRig& rig) {
                       return rig.whole.WriteImage(rig.slot, std::nullopt, {}).status ==
                              programs::WriteStatus::kDone;
                     },
                 .keeps_image = true});
  all.push_back(
      {.name = "store",
       .type = kA,
       .lines = kBoth,
       .run =
           [](MatrixRig& rig) {
             return rig.memory.Store(rig.slot, 2, QStringLiteral("Matrix"), Going).status ==
                    programs::TransferStatus::kDone;
           },
       .keeps_image = true});
  all.push_back({.name = "recall",
                 .type = kA,
                 .lines = kBoth,
                 .run =
                     [](MatrixRig& rig) {
                       return rig.memory.Recall(rig.slot, 1, std::nullopt, Going).status ==
                              programs::TransferStatus::kDone;
                     },
                 .programs = 3,
                 .keeps_image = true,
                 .prepare = ReadProgramStatus});
  all.push_back({.name = "preset-load",
                 .type = kB,
                 .lines = kBoth,
                 .run =
                     [](MatrixRig& rig) {
                       return rig.files
                                  .LoadPreset(rig.slot, rig.PathOf(QStringLiteral("p.54s")),
                                              std::nullopt, Going, true)
                                  .outcome == programs::FileOutcome::kDone;
                     },
                 .keeps_image = true,
                 .prepare =
                     [](MatrixRig& rig) {
                       (void)rig.files.SavePreset(rig.slot, rig.PathOf(QStringLiteral("p.54s")));
                     }});
  // Whole program memories cost hundreds of exchanges: over TCP only, on the smallest memory.
  all.push_back({.name = "project-save",
                 .type = kFewPrograms,
                 .lines = {Line::kTcp},
                 .run =
                     [](MatrixRig& rig) {
                       return rig.files
                                  .SaveProject(rig.slot, rig.PathOf(QStringLiteral("m.pj4")), Going)
                                  .outcome == programs::FileOutcome::kDone;
                     },
                 .programs = 4,
                 .prepare = ReadProgramStatus});
  all.push_back({.name = "project-store-verify",
                 .type = kFewPrograms,
                 .lines = {Line::kTcp},
                 .run =
                     [](MatrixRig& rig) {
                       return rig.files
                                  .StoreProject(rig.slot, rig.project,
                                                {.backup = true, .verify = true}, Going)
                                  .outcome == programs::FileOutcome::kDone;
                     },
                 .programs = 4,
                 .prepare =
                     [](MatrixRig& rig) {
                       rig.project.clear();
                       for (int p = 0; p < rig.device->program_count(); ++p) {
                         rig.project.push_back(rig.device->Program(p) + '\0');
                       }
                       rig.project[1] = rig.project[0];
                       rig.project[1][rig.project[1].size() - 2] = 1;
                     }});
  // One command 55: the device copies by itself.
  all.push_back({.name = "channel-copy",
                 .type = kA,
                 .lines = kBoth,
                 .run =
                     [](MatrixRig& rig) {
                       return rig.copier.Copy(rig.slot, programs::CopyMode::kInput, 0, 1,
                                              std::nullopt) == protocol::EditResult::kDone;
                     },
                 .keeps_image = true});
  all.push_back({.name = "meter-poll", .type = kB, .lines = kBoth, .run = [](MatrixRig& rig) {
                   QTimer timer;
                   meters::MeterPoll poll(rig.comm, rig.edits, rig.slot, timer);
                   int readings = 0;
                   QObject::connect(&poll, &meters::MeterPoll::readingChanged,
                                    [&readings] { ++readings; });
                   for (int tick = 0; tick < 3; ++tick) poll.Tick();
                   return readings == 3;
                 }});
  all.push_back({.name = "keep-alive", .type = kA, .lines = kBoth, .run = [](MatrixRig& rig) {
                   rig.comm.KeepAliveTick();
                   rig.comm.KeepAliveTick();
                   return rig.comm.state().table[rig.slot].online;
                 }});
  // An edit lost with the link and one made while lost; on reconnecting, the PC's values go.
  all.push_back({.name = "reconnect-compare",
                 .type = kB,
                 .lines = kBoth,
                 .run =
                     [](MatrixRig& rig) {
                       connect::DeviceResync resync(rig.context, rig.edits, rig.whole);
                       connect::ResyncStatus status = resync.Reconnect(rig.slot, {});
                       if (status != connect::ResyncStatus::kDifferent) return false;
                       std::vector<connect::ResyncChoice> choices;
                       for (const auto& difference : resync.differences()) {
                         choices.push_back({difference, false});
                       }
                       status = resync.Apply(rig.slot, choices, {});
                       return choices.size() == 2 && status == connect::ResyncStatus::kEqual &&
                              rig.edits.Pending(rig.slot).Keys().empty();
                     },
                 .keeps_image = true,
                 .prepare =
                     [](MatrixRig& rig) {
                       // The editor was opened on a read-out, so only the two edits differ.
                       (void)connect::ReadDevice(rig.context, rig.slot, {});
                       rig.device->SetSilent(true);
                       (void)GainEdit(rig, "-6");
                       (void)rig.edits.SetText({rig.slot, model::ParamId::kMute, 1, -1},
                                               QStringLiteral("on"));
                       rig.messenger.shown.clear();
                     }});
  return all;
}

}  // namespace

const std::vector<Sequence>& Sequences() {
  static const std::vector<Sequence> all = Build();
  return all;
}

}  // namespace tessaly::reliability
