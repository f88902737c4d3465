#include "connect/DeviceList.h"

#include "comm/Commands.h"
#include "comm/DeviceTypes.h"
#include "connect/Exchange.h"
#include "connect/TcpDiscovery.h"

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

void DeviceList::Load() { context_.comm.state().OnlineMode = true; }

QString DeviceList::ListedName(int slot) const {
  return context_.comm.state().table.DeviceName[static_cast<size_t>(slot)].trimmed();
}

void DeviceList::WriteRow(int slot, const QString& name, bool online) {
  const comm::CommState& state = context_.comm.state();
  context_.comm.SetRowText(
      slot, DeviceRowText(state.ConnectionMode, state.table[slot].IpAddress, name, online));
}

void DeviceList::Identify(int slot) {
  comm::Params params{};
  params[7] = static_cast<uint8_t>(context_.comm.state().ConnectionMode);
  (void)context_.comm.TxCommand(slot, comm::kCmdIdentify, params);
}

void DeviceList::RefreshRow(int slot) {
  comm::Comm& comm = context_.comm;
  comm::CommState& state = comm.state();
  if (slot < 0 || slot >= RowCount() || !comm::IsValidSlot(slot)) return;
  QString name = ListedName(slot);
  const QString model = comm::ModelName(state.table.DeviceType[static_cast<size_t>(slot)]);
  bool online = false;
  if (state.CommSuspended) {
    name = model.trimmed();
  } else if (state.ConnectionMode != comm::kLinkTcp) {
    Identify(slot);
    online = true;
  } else {
    const int link_slot = state.table[slot].DeviceId;
    if (comm.tcp().IsConnected(link_slot)) {
      online = true;
    } else if (comm.tcp().Connect(link_slot, state.table[slot].IpAddress, comm.device_port(),
                                  kConnectWaitMs) == 0) {
      Identify(slot);
      online = true;
    } else {
      name = model.trimmed();
      state.table.DeviceNeedsRead[static_cast<size_t>(slot)] = true;
    }
  }
  WriteRow(slot, name, online);
}

bool DeviceList::Relink(int slot) {
  comm::Comm& comm = context_.comm;
  comm::CommState& state = comm.state();
  comm::Messenger& messenger = comm.messenger();
  const auto disconnected = [&] {
    messenger.Show({comm::MessageIcon::kExclamation, QString::fromLatin1(kDisconnectedTitle),
                    QString::fromLatin1(kDisconnectedText), comm::MessageButtons::kOk});
    return false;
  };
  const int type = state.table.DeviceType[static_cast<size_t>(slot)];
  if (state.ConnectionMode == comm::kLinkTcp) {
    if (!comm.tcp().IsConnected(slot) &&
        comm.tcp().Connect(slot, state.table[slot].IpAddress, comm.device_port(), kConnectWaitMs) !=
            0) {
      return disconnected();
    }
  } else if (!comm.serial().IsOpen() &&
             comm.serial().Open(comm.ComPortName(), comm::BaudRate(type)) != 0) {
    return disconnected();
  }

  bool answered = false;
  for (int attempt = 0; attempt < kProbeAttempts && !answered; ++attempt) {
    // Over TCP/IP the retry gets a fresh connection, so a late answer to the first probe cannot
    // pass for the answer to the second.
    if (attempt > 0 && state.ConnectionMode == comm::kLinkTcp) {
      comm.tcp().Disconnect(slot);
      if (comm.tcp().Connect(slot, state.table[slot].IpAddress, comm.device_port(),
                             kConnectWaitMs) != 0) {
        break;
      }
    }
    answered = comm.ProbeDevice(slot);
  }
  if (!answered) {
    disconnected();
    WriteRow(slot, ListedName(slot), false);
    return false;
  }
  // Goes beyond a bare re-link on purpose: a device that answered the probe is marked on-line
  // again, since the link-loss handlers took it off-line and TxCommand would refuse every read.
  state.table[slot].Online = true;
  state.CommReady = true;
  if (ReadMemory(comm, slot, comm::kCmdReadSettings, 0, 16)) {
    state.table.DeviceName[static_cast<size_t>(slot)] = NameFromReply(state);
  }
  WriteRow(slot, ListedName(slot), state.table[slot].Online);
  return true;
}

OpenResult DeviceList::OpenDevice(int row, const ConnectHooks& hooks) {
  comm::Comm& comm = context_.comm;
  comm::CommState& state = comm.state();
  OpenResult result;
  if (row < 0 || row >= RowCount() || !comm::IsValidSlot(row)) return result;
  const int slot = row;
  state.KeepAliveHold = true;

  // A demo slot skips the connect question on purpose: it has no link, so re-linking could only
  // end in "Device disconnected" and demo devices could never be opened.
  if (state.table.DeviceNeedsRead[static_cast<size_t>(slot)] && !state.CommSuspended) {
    const comm::MessageAnswer answer = comm.messenger().Show(
        {comm::MessageIcon::kQuestion, QString::fromLatin1(kConnectQuestionTitle),
         QString::fromLatin1(kConnectQuestion), comm::MessageButtons::kYesNo});
    if (answer != comm::MessageAnswer::kYes) {
      state.KeepAliveHold = false;
      result.outcome = OpenOutcome::kDeclined;
      return result;
    }
    if (!Relink(slot)) {
      state.KeepAliveHold = false;
      result.outcome = OpenOutcome::kDisconnected;
      return result;
    }
  }

  if (state.table[slot].EditorOpen) {
    comm.messenger().Show({comm::MessageIcon::kExclamation, QString::fromLatin1(kAlreadyOpenTitle),
                           QString::fromLatin1(kAlreadyOpenText), comm::MessageButtons::kOk});
    state.KeepAliveHold = false;
    result.outcome = OpenOutcome::kAlreadyOpen;
    return result;
  }

  if (state.table.DeviceDataValid[static_cast<size_t>(slot)] == 0) {
    if (state.CommSuspended) {
      state.table.FirmwareVersion[static_cast<size_t>(slot)] = context_.session.DemoFirmwareVersion;
      state.table.SecondVersion[static_cast<size_t>(slot)] = context_.session.DemoSecondVersion;
    } else {
      hooks.Progress(0, kReadoutProgressMax);
      result.read_out = true;
      result.readout = ReadDevice(context_, slot, hooks);
      if (!result.readout.complete()) {
        ReportReadFailure(slot, result.readout.stopped_at);
        state.KeepAliveHold = false;
        result.outcome = OpenOutcome::kReadFailed;
        return result;
      }
      state.table.DeviceDataValid[static_cast<size_t>(slot)] = 1;
      state.table.DeviceNeedsRead[static_cast<size_t>(slot)] = false;
    }
  }

  Identify(slot);
  result.outcome = OpenOutcome::kReady;
  return result;
}

void DeviceList::ReportReadFailure(int slot, ReadoutStep step) {
  comm::CommState& state = context_.comm.state();
  state.table[slot].Online = false;
  state.table.DeviceNeedsRead[static_cast<size_t>(slot)] = true;
  context_.comm.messenger().Show(
      {comm::MessageIcon::kExclamation, QString::fromLatin1(kDisconnectedTitle),
       QString::fromLatin1(kDisconnectedText) +
           QStringLiteral("\nReading the %1 failed.").arg(ReadoutStepText(step)),
       comm::MessageButtons::kOk});
  WriteRow(slot, ListedName(slot), false);
}

}  // namespace tessaly::connect
