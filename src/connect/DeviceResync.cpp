#include "connect/DeviceResync.h"

#include <algorithm>
#include <array>

#include "connect/DeviceList.h"
#include "connect/DeviceReadout.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "model/EditPath.h"
#include "programs/WholeProgram.h"

namespace tessaly::connect {

DeviceResync::DeviceResync(ConnectContext& context, model::EditPath& edits,
                           programs::WholeProgram& whole)
    : context_(context),
      edits_(edits),
      whole_(whole),
      device_store_(context.comm),
      device_context_{context.comm, context.session, device_store_, device_names_, device_sleep_} {}

ResyncStatus DeviceResync::Reconnect(int slot, const ConnectHooks& hooks) {
  comm::Comm& comm = context_.comm;
  if (!comm::IsValidSlot(slot)) return ResyncStatus::kGone;
  comm::DeviceTable& table = comm.state().table;
  const comm::KeepAliveHold hold(comm);
  const int type = table.device_type[static_cast<size_t>(slot)];
  DeviceList list(context_);
  if (!list.Relink(slot)) return ResyncStatus::kGone;
  list.Identify(slot);
  const int found = table.device_type[static_cast<size_t>(slot)];
  if (found != type) {
    // The editor and the PC's record belong to the old type: the slot keeps it and stays lost.
    table.device_type[static_cast<size_t>(slot)] = static_cast<int16_t>(type);
    table[slot].online = false;
    comm.SetRowText(slot, table.OfflineRowText(slot, comm.state().connection_mode));
    comm.messenger().Show(
        {device::MessageIcon::kExclamation, QString::fromLatin1(kResyncTitle),
         QStringLiteral("The device there now answers as %1, but this editor holds a %2.\n"
                        "Nothing was compared or sent.")
             .arg(device::ModelName(found).trimmed(), device::ModelName(type).trimmed()),
         device::MessageButtons::kOk});
    return ResyncStatus::kOtherType;
  }
  return ReadAndCompare(slot, hooks);
}

ResyncStatus DeviceResync::Reread(int slot, const ConnectHooks& hooks) {
  if (!comm::IsValidSlot(slot)) return ResyncStatus::kGone;
  const comm::KeepAliveHold hold(context_.comm);
  return ReadAndCompare(slot, hooks);
}

ResyncStatus DeviceResync::ReadAndCompare(int slot, const ConnectHooks& hooks) {
  differences_.clear();
  const ReadoutResult read = ReadDevice(device_context_, slot, hooks);
  if (!read.complete()) return ResyncStatus::kReadFailed;
  comm::DeviceTable& table = context_.comm.state().table;
  table.device_needs_read[static_cast<size_t>(slot)] = false;
  const protocol::ProgramData* pc = context_.store.Data(slot);
  const protocol::ProgramData* device = device_store_.Data(slot);
  const auto type = context_.store.DeviceType(slot);
  if (pc == nullptr || device == nullptr || !type) return ResyncStatus::kReadFailed;
  differences_ = programs::CompareRecords(*pc, *device, *type, edits_.Pending(slot));
  // A pending edit the device holds after all needs nothing more.
  for (const model::PendingEdits::Key& key : edits_.Pending(slot).Keys()) {
    const bool differs =
        std::any_of(differences_.begin(), differences_.end(),
                    [&key](const programs::ParameterDifference& d) { return d.Key() == key; });
    if (!differs) edits_.Acknowledge(slot, key);
  }
  // Until the two agree, the PC's record is no read-out of the device: opening the editor again
  // reads it.
  table.device_data_valid[static_cast<size_t>(slot)] = differences_.empty() ? 1 : 0;
  return differences_.empty() ? ResyncStatus::kEqual : ResyncStatus::kDifferent;
}

bool DeviceResync::TakeAll(int slot) {
  protocol::ProgramData* pc = context_.store.Data(slot);
  const protocol::ProgramData* device = device_store_.Data(slot);
  programs::ProgramNameList* names = context_.names.At(slot);
  const programs::ProgramNameList* device_names = device_names_.At(slot);
  if (pc == nullptr || device == nullptr || names == nullptr || device_names == nullptr) {
    return false;
  }
  if (!pc->SetRecord(device->Record())) return false;
  *names = *device_names;
  if (protocol::SlotState* state = context_.store.State(slot)) {
    if (const protocol::SlotState* read = device_store_.State(slot)) state->ip = read->ip;
  }
  // The display of a whole image sends nothing and clears undo and the pending marks.
  whole_.ShowProgram(slot);
  differences_.clear();
  context_.comm.state().table.device_data_valid[static_cast<size_t>(slot)] = 1;
  return true;
}

bool DeviceResync::SendName(int slot) {
  const protocol::ProgramData* pc = context_.store.Data(slot);
  if (pc == nullptr) return false;
  // The name goes in the image block that holds it, as a whole-image write would send it.
  const int name_offset = pc->layout().name;
  const int first = name_offset / programs::kImageBlockBytes * programs::kImageBlockBytes;
  std::array<uint8_t, programs::kImageBlockBytes> block{};
  const std::vector<uint8_t> bytes = pc->Read(first, programs::kImageBlockBytes);
  std::copy(bytes.begin(), bytes.end(), block.begin());
  comm::Comm& comm = context_.comm;
  const bool sent = comm.Exchange(slot, device::kCmdWriteBlock,
                                  comm::AddressParams(first, programs::kImageBlockBytes), block)
                        .answered();
  return sent && comm.Exchange(slot, device::kCmdEndOfBlocks).answered();
}

ResyncStatus DeviceResync::Apply(int slot, const std::vector<ResyncChoice>& choices,
                                 const ConnectHooks& hooks) {
  {
    // Taken values first, so a block sent for the name already carries them.
    const comm::TransferLock lock(context_.comm);
    for (const ResyncChoice& c : choices) {
      if (!c.take_device) continue;
      if (c.difference.is_name()) {
        protocol::ProgramData* pc = context_.store.Data(slot);
        const protocol::ProgramData* device = device_store_.Data(slot);
        if (pc != nullptr && device != nullptr) pc->SetName(device->Name());
        continue;
      }
      (void)edits_.Adopt(c.difference.Target(slot), c.difference.device_index);
    }
  }
  bool name_sent = true;
  for (const ResyncChoice& c : choices) {
    if (c.take_device) continue;
    if (c.difference.is_name()) {
      name_sent = SendName(slot);
      continue;
    }
    const model::EditOutcome out = edits_.Resend(c.difference.Target(slot));
    if (out.status == model::EditStatus::kSendFailed) return ResyncStatus::kReadFailed;
  }
  if (!name_sent) return ResyncStatus::kReadFailed;
  return Reread(slot, hooks);
}

}  // namespace tessaly::connect
