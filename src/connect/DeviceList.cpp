#include "connect/DeviceList.h"

#include "connect/Exchange.h"
#include "connect/TcpDiscovery.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"

namespace tessaly::connect {
namespace {
constexpr int kProbeAttempts = 2;
}  // namespace

QString DeviceRowText(int16_t connection_mode, const QString& address, const QString& name,
                      bool online) {
  const QString state = online ? QStringLiteral(" - On-line") : QStringLiteral(" - Off-line");
  if (connection_mode == comm::kLinkTcp) {
    return QStringLiteral("IP:") + address + QStringLiteral(" - ") + name + state;
  }
  return QStringLiteral("USB - ") + name + state;
}

QString ReadoutStepText(ReadoutStep step) {
  switch (step) {
    case ReadoutStep::kImage:
      return QStringLiteral("memory image");
    case ReadoutStep::kVersions:
      return QStringLiteral("versions");
    case ReadoutStep::kSettings:
      return QStringLiteral("settings");
    case ReadoutStep::kIpAddress:
      return QStringLiteral("IP address");
    case ReadoutStep::kRouting:
      return QStringLiteral("input routing");
    case ReadoutStep::kProgramStatus:
      return QStringLiteral("program status");
    case ReadoutStep::kProgramNames:
      return QStringLiteral("program names");
    case ReadoutStep::kCurrentName:
      return QStringLiteral("current program name");
    case ReadoutStep::kSleepTable:
      return QStringLiteral("sleep settings");
    case ReadoutStep::kDone:
      break;
  }
  return {};
}

DeviceList::DeviceList(ConnectContext& context) : context_(context) {}

void DeviceList::Load() { context_.comm.EnterOnlineMode(); }

QString DeviceList::ListedName(int slot) const {
  return context_.comm.state().table.device_name[static_cast<size_t>(slot)].trimmed();
}

void DeviceList::WriteRow(int slot, const QString& name, bool online) {
  const comm::CommState& state = context_.comm.state();
  context_.comm.SetRowText(
      slot, DeviceRowText(state.connection_mode, state.table[slot].ip_address, name, online));
}

void DeviceList::Identify(int slot) {
  comm::Params params{};
  params[7] = static_cast<uint8_t>(context_.comm.state().connection_mode);
  (void)context_.comm.Exchange(slot, device::kCmdIdentify, params);
}

void DeviceList::RefreshRow(int slot) {
  comm::Comm& comm = context_.comm;
  comm::CommState& state = comm.state();
  if (slot < 0 || slot >= RowCount() || !comm::IsValidSlot(slot)) return;
  QString name = ListedName(slot);
  const QString model = device::ModelName(state.table.device_type[static_cast<size_t>(slot)]);
  bool online = false;
  if (comm.suspended()) {
    name = model.trimmed();
  } else if (state.connection_mode != comm::kLinkTcp) {
    Identify(slot);
    online = true;
  } else {
    const int link_slot = state.table[slot].device_id;
    if (comm.tcp().IsConnected(link_slot)) {
      online = true;
    } else if (comm.tcp().Connect(link_slot, state.table[slot].ip_address, comm.device_port(),
                                  kConnectWaitMs) == 0) {
      Identify(slot);
      online = true;
    } else {
      name = model.trimmed();
      state.table.device_needs_read[static_cast<size_t>(slot)] = true;
    }
  }
  WriteRow(slot, name, online);
}

bool DeviceList::Relink(int slot) {
  comm::Comm& comm = context_.comm;
  comm::CommState& state = comm.state();
  device::Messenger& messenger = comm.messenger();
  const auto disconnected = [&] {
    messenger.Show({device::MessageIcon::kExclamation, QString::fromLatin1(kDisconnectedTitle),
                    QString::fromLatin1(kDisconnectedText), device::MessageButtons::kOk});
    return false;
  };
  const int type = state.table.device_type[static_cast<size_t>(slot)];
  if (state.connection_mode == comm::kLinkTcp) {
    if (!comm.tcp().IsConnected(slot) &&
        comm.tcp().Connect(slot, state.table[slot].ip_address, comm.device_port(),
                           kConnectWaitMs) != 0) {
      return disconnected();
    }
  } else if (!comm.serial().IsOpen() &&
             comm.serial().Open(comm.ComPortName(), device::BaudRate(type)) != 0) {
    return disconnected();
  }

  bool answered = false;
  for (int attempt = 0; attempt < kProbeAttempts && !answered; ++attempt) {
    // Over TCP/IP the retry gets a fresh connection, so a late answer to the first probe cannot
    // pass for the answer to the second.
    if (attempt > 0 && state.connection_mode == comm::kLinkTcp) {
      comm.tcp().Disconnect(slot);
      if (comm.tcp().Connect(slot, state.table[slot].ip_address, comm.device_port(),
                             kConnectWaitMs) != 0) {
        break;
      }
    } else if (attempt > 0) {
      // A port whose device end went away and came back (a USB plug) stays open on this side
      // but carries nothing any more: the retry opens it afresh.
      comm.serial().Close();
      if (comm.serial().Open(comm.ComPortName(), device::BaudRate(type)) != 0) break;
    }
    answered = comm::ProbeAcknowledged(comm.ProbeDevice(slot));
  }
  if (!answered) {
    disconnected();
    WriteRow(slot, ListedName(slot), false);
    return false;
  }
  // Goes beyond a bare re-link on purpose: a device that answered the probe is marked on-line
  // again, since the link-loss handlers took it off-line and the exchange layer would hold every
  // read back.
  state.table[slot].online = true;
  comm.OpenTraffic();
  if (const comm::ExchangeResult read = ReadMemory(comm, slot, device::kCmdReadSettings, 0, 16);
      read.answered()) {
    state.table.device_name[static_cast<size_t>(slot)] = NameFromReply(read);
  }
  WriteRow(slot, ListedName(slot), state.table[slot].online);
  return true;
}

OpenResult DeviceList::OpenDevice(int row, const ConnectHooks& hooks) {
  comm::Comm& comm = context_.comm;
  comm::CommState& state = comm.state();
  OpenResult result;
  if (row < 0 || row >= RowCount() || !comm::IsValidSlot(row)) return result;
  const int slot = row;
  comm::KeepAliveHold hold(comm);

  // A demo slot skips the connect question on purpose: it has no link, so re-linking could only
  // end in "Device disconnected" and demo devices could never be opened.
  if (state.table.device_needs_read[static_cast<size_t>(slot)] && !comm.suspended()) {
    const device::MessageAnswer answer = comm.messenger().Show(
        {device::MessageIcon::kQuestion, QString::fromLatin1(kConnectQuestionTitle),
         QString::fromLatin1(kConnectQuestion), device::MessageButtons::kYesNo});
    if (answer != device::MessageAnswer::kYes) {
      result.outcome = OpenOutcome::kDeclined;
      return result;
    }
    if (!Relink(slot)) {
      result.outcome = OpenOutcome::kDisconnected;
      return result;
    }
  }

  if (state.table[slot].editor_open) {
    comm.messenger().Show({device::MessageIcon::kExclamation,
                           QString::fromLatin1(kAlreadyOpenTitle),
                           QString::fromLatin1(kAlreadyOpenText), device::MessageButtons::kOk});
    result.outcome = OpenOutcome::kAlreadyOpen;
    return result;
  }

  if (state.table.device_data_valid[static_cast<size_t>(slot)] == 0) {
    if (comm.suspended()) {
      state.table.firmware_version[static_cast<size_t>(slot)] =
          context_.session.demo_firmware_version;
      state.table.second_version[static_cast<size_t>(slot)] = context_.session.demo_second_version;
    } else {
      hooks.Progress(0, kReadoutProgressMax);
      result.read_out = true;
      result.readout = ReadDevice(context_, slot, hooks);
      if (!result.readout.complete()) {
        ReportReadFailure(slot, result.readout.stopped_at);
        result.outcome = OpenOutcome::kReadFailed;
        return result;
      }
      state.table.device_data_valid[static_cast<size_t>(slot)] = 1;
      state.table.device_needs_read[static_cast<size_t>(slot)] = false;
    }
  }

  Identify(slot);
  result.outcome = OpenOutcome::kReady;
  result.hold.emplace(std::move(hold));
  return result;
}

void DeviceList::ReportReadFailure(int slot, ReadoutStep step) {
  comm::CommState& state = context_.comm.state();
  state.table[slot].online = false;
  state.table.device_needs_read[static_cast<size_t>(slot)] = true;
  context_.comm.messenger().Show(
      {device::MessageIcon::kExclamation, QString::fromLatin1(kDisconnectedTitle),
       QString::fromLatin1(kDisconnectedText) +
           QStringLiteral("\nReading the %1 failed.").arg(ReadoutStepText(step)),
       device::MessageButtons::kOk});
  WriteRow(slot, ListedName(slot), false);
}

}  // namespace tessaly::connect
