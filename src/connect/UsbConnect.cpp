#include "connect/UsbConnect.h"

#include "comm/SerialAccess.h"
#include "connect/Exchange.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"

namespace tessaly::connect {
namespace {
constexpr int kUsbSlot = 0;
}

QString ReadingDeviceText(int device_id) {
  return QStringLiteral("Reading device [ID:%1], please wait.....")
      .arg(device_id, 2, 10, QLatin1Char('0'));
}

void UsbConnect::RegisterSlot0(int16_t type) {
  comm::DeviceTable& table = context_.comm.state().table;
  comm::DeviceTable::Found found;
  found.link_kind = comm::kLinkUsb;
  found.ip_address = table[kUsbSlot].ip_address;
  found.device_id = kUsbSlot;
  found.device_type = type;
  table.Register(kUsbSlot, found);
}

// One stage: open at the speed of `type` (or of `fallback_type` when that open fails), probe up
// to twice, and on an answer take `answer_type` when reply byte 8 names it, else `other_type`.
bool UsbConnect::Stage(int16_t type, int16_t fallback_type, int16_t answer_type,
                       int16_t other_type) {
  comm::Comm& comm = context_.comm;
  comm::CommState& state = comm.state();
  state.table.device_type[kUsbSlot] = type;
  bool opened = comm.serial().Open(comm.ComPortName(), device::BaudRate(type)) == 0;
  if (!opened && fallback_type != type) {
    state.table.device_type[kUsbSlot] = fallback_type;
    opened = comm.serial().Open(comm.ComPortName(), device::BaudRate(fallback_type)) == 0;
  }
  if (!opened) return false;
  for (int attempt = 0; attempt < kProbeAttempts; ++attempt) {
    const comm::ExchangeResult probe = comm.ProbeDevice(kUsbSlot);
    if (!comm::ProbeAcknowledged(probe)) continue;
    RegisterSlot0(probe.Byte(device::kReplyTypeByte) == answer_type ? answer_type : other_type);
    return true;
  }
  return false;
}

bool UsbConnect::SearchNumCom() {
  comm::Comm& comm = context_.comm;
  comm.OpenTraffic();
  if (comm.serial().IsOpen()) comm.serial().Close();
  using namespace device;
  return Stage(kType540S, kTypeRk540, kType540S, kTypeRk540) ||
         Stage(kTypeRk360, kTypeRk360, kTypeRk360, kTypeRl4800) ||
         Stage(kTypeRl4800, kTypeRl4800, kTypeRk360, kTypeRl4800);
}

void UsbConnect::ReadName(const ConnectHooks& hooks) {
  comm::Comm& comm = context_.comm;
  comm::DeviceTable& table = comm.state().table;
  comm.SuspendTraffic(false);
  hooks.Progress(0, kUsbNameProgressMax);
  hooks.Status(ReadingDeviceText(table[kUsbSlot].device_id));
  table.device_name[kUsbSlot].clear();
  table.device_row[kUsbSlot] = kUsbSlot;
  const comm::ExchangeResult read = ReadMemory(comm, kUsbSlot, device::kCmdReadSettings, 0, 16);
  if (!read.answered()) return;
  table.device_name[kUsbSlot] = NameFromReply(read);
  hooks.Progress(1, kUsbNameProgressMax);
  table.device_needs_read[kUsbSlot] = false;
}

ConnectOutcome UsbConnect::Run(const ConnectHooks& hooks) {
  comm::CommState& state = context_.comm.state();
  state.table.ResetAll();
  if (SearchNumCom()) {
    state.last_slot = kUsbSlot;
    ReadName(hooks);
    return ConnectOutcome::kDevicesListed;
  }
  // A port the user may not open is no reason to offer the demo: the fix is the user's group.
  const QString port = context_.comm.com_ports().PortName(context_.comm.ComPortName());
  if (comm::SerialAccessDenied(port)) {
    context_.comm.messenger().Show({device::MessageIcon::kExclamation,
                                    QString::fromLatin1(kDemoQuestionTitle),
                                    comm::SerialAccessDeniedText(context_.comm.ComPortName(), port),
                                    device::MessageButtons::kOk});
    return ConnectOutcome::kStayOffline;
  }
  const device::MessageAnswer answer = context_.comm.messenger().Show(
      {device::MessageIcon::kQuestion, QString::fromLatin1(kDemoQuestionTitle),
       QString::fromLatin1(kUsbDemoQuestion), device::MessageButtons::kYesNo});
  if (answer != device::MessageAnswer::kYes) return ConnectOutcome::kStayOffline;
  context_.comm.SuspendTraffic(true);
  state.demo_type = device::kType540S;
  if (hooks.choose_demo_type) state.demo_type = hooks.choose_demo_type(state.demo_type);
  RunDemoSetup(context_);
  return ConnectOutcome::kDemo;
}

}  // namespace tessaly::connect
