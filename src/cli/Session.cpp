#include "cli/Session.h"

#include "comm/SerialAccess.h"
#include "connect/Exchange.h"
#include "connect/TcpConnect.h"
#include "connect/UsbConnect.h"
#include "device/Commands.h"
#include "device/DeviceTypes.h"
#include "model/ParameterDescriptor.h"

namespace tessaly::cli {
namespace {

constexpr int kNameLength = 16;

}  // namespace

QString ReadoutStepName(connect::ReadoutStep step) {
  switch (step) {
    case connect::ReadoutStep::kImage:
      return QStringLiteral("program image");
    case connect::ReadoutStep::kVersions:
      return QStringLiteral("versions");
    case connect::ReadoutStep::kSettings:
      return QStringLiteral("settings");
    case connect::ReadoutStep::kIpAddress:
      return QStringLiteral("IP address");
    case connect::ReadoutStep::kRouting:
      return QStringLiteral("input routing");
    case connect::ReadoutStep::kProgramStatus:
      return QStringLiteral("program status");
    case connect::ReadoutStep::kProgramNames:
      return QStringLiteral("program names");
    case connect::ReadoutStep::kCurrentName:
      return QStringLiteral("current program name");
    case connect::ReadoutStep::kSleepTable:
      return QStringLiteral("sleep table");
    case connect::ReadoutStep::kDone:
      break;
  }
  return QStringLiteral("end");
}

Session::Session(const CliOptions& options, CliOutput& output)
    : options_(options),
      output_(output),
      comm_(messenger_),
      store_(comm_),
      context_{comm_, connect_session_, store_, names_, sleep_},
      core_(store_),
      whole_program_(comm_, store_, core_.dispatcher, core_.curves, names_) {
  if (options_.port) comm_.set_device_port(*options_.port);
  if (options_.trace) {
    comm_.set_trace(
        [this](bool outgoing, const QByteArray& bytes) { output_.Trace(outgoing, bytes); });
  }
}

Session::~Session() {
  // Let the device go as the editor does when it leaves on-line mode.
  if (LinkUp()) (void)comm_.ReleaseAllDevices(false);
}

int Session::device_type() const { return comm_.state().table.device_type[kCliSlot]; }

namespace {

// Why the COM port could not be opened, when it is this user's lack of permission.
std::optional<QString> DeniedText(comm::Comm& comm) {
  const QString port = comm.com_ports().PortName(comm.ComPortName());
  if (!comm::SerialAccessDenied(port)) return std::nullopt;
  return comm::SerialAccessDeniedText(comm.ComPortName(), port);
}

}  // namespace

QString Session::Where() const {
  if (options_.transport == Transport::kCom) return QStringLiteral("COM%1").arg(options_.com);
  return QStringLiteral("%1:%2").arg(options_.address).arg(comm_.device_port());
}

bool Session::LinkUp() { return comm_.state().table[kCliSlot].online && comm_.LinkUp(kCliSlot); }

Outcome Session::Open() {
  if (!opened_) opened_ = OpenOnce();
  return *opened_;
}

Outcome Session::ReadOut() {
  if (!read_) {
    const Outcome opened = Open();
    read_ = opened.ok() ? ReadOutOnce() : opened;
  }
  return *read_;
}

Outcome Session::PrepareChannel(const QString& name, int* channel) {
  const Outcome opened = Open();
  if (!opened.ok()) return opened;
  const auto ch = model::ResolveChannel(name, device_type());
  if (!ch)
    return Outcome::Usage(QStringLiteral("\"%1\" is not a channel of this device.").arg(name));
  *channel = *ch;
  return PrepareEditor();
}

Outcome Session::PrepareEditor() {
  if (!prepared_) prepared_ = PrepareEditorOnce();
  return *prepared_;
}

Outcome Session::OpenOnce() {
  if (!options_.transport_given) {
    return Outcome::Usage(
        QStringLiteral("This command needs a device: give --tcp ADDRESS or --com N."));
  }
  comm::CommState& state = comm_.state();
  state.table.ResetAll();
  comm_.OpenTraffic();
  comm_.ReportLinkLoss(false);
  state.current_device = kCliSlot;
  state.last_slot = kCliSlot;
  const Outcome linked = options_.transport == Transport::kCom ? OpenCom() : OpenTcp();
  if (!linked.ok()) return linked;
  if (!options_.type) {
    const Outcome identified = Identify();
    if (!identified.ok()) return identified;
  }
  ReadName();
  // The record starts from the family's defaults before the device is read, as after a connect.
  whole_program_.ResetProgram(kCliSlot);
  return Outcome::Ok();
}

Outcome Session::OpenTcp() {
  comm::CommState& state = comm_.state();
  state.connection_mode = comm::kLinkTcp;
  if (comm_.tcp().Initialise(comm::kSlotCount) != 0) {
    return Outcome::Device(QStringLiteral("The TCP connections could not be set up."));
  }
  if (comm_.tcp().Connect(kCliSlot, options_.address, comm_.device_port(),
                          connect::kConnectWaitMs) != 0) {
    return Outcome::Device(QStringLiteral("No device accepted a connection at %1.").arg(Where()));
  }
  comm::DeviceTable::Found found;
  found.link_kind = comm::kLinkTcp;
  found.ip_address = options_.address;
  found.device_id = kCliSlot;
  found.device_type = static_cast<int16_t>(options_.type.value_or(device::kTypeRk540));
  state.table.Register(kCliSlot, found);
  if (options_.type) return Outcome::Ok();
  // The network probe is the one of types 0 and 3, whatever the device turns out to be.
  for (int attempt = 0; attempt < connect::kProbeAttempts; ++attempt) {
    if (comm::ProbeAcknowledged(comm_.ProbeDevice(kCliSlot))) return Outcome::Ok();
  }
  state.table[kCliSlot].online = false;
  return Outcome::Device(QStringLiteral("The device at %1 did not answer the probe.").arg(Where()));
}

Outcome Session::OpenCom() {
  comm::CommState& state = comm_.state();
  state.connection_mode = comm::kLinkUsb;
  state.com_port = static_cast<int16_t>(options_.com);
  if (options_.type) {
    comm::DeviceTable::Found found;
    found.link_kind = comm::kLinkUsb;
    found.ip_address = state.table[kCliSlot].ip_address;
    found.device_id = kCliSlot;
    found.device_type = static_cast<int16_t>(*options_.type);
    state.table.Register(kCliSlot, found);
    if (comm_.serial().Open(comm_.ComPortName(), device::BaudRate(*options_.type)) != 0) {
      state.table[kCliSlot].online = false;
      return Outcome::Device(
          DeniedText(comm_).value_or(QStringLiteral("%1 could not be opened.").arg(Where())));
    }
    return Outcome::Ok();
  }
  connect::UsbConnect usb(context_);
  if (!usb.SearchNumCom()) {
    if (const auto denied = DeniedText(comm_)) return Outcome::Device(*denied);
    return Outcome::Device(QStringLiteral("No device answered on %1.").arg(Where()));
  }
  return Outcome::Ok();
}

Outcome Session::Identify() {
  comm::Params params{};
  params[7] = static_cast<uint8_t>(comm_.state().connection_mode);
  const comm::ExchangeResult identified = comm_.Exchange(kCliSlot, device::kCmdIdentify, params);
  if (!identified.answered()) {
    return Outcome::Device(
        QStringLiteral("The device at %1 did not answer the identify command.").arg(Where()));
  }
  const int code = identified.Byte(device::kReplyTypeByte);
  if (!device::IsValidType(code)) {
    return Outcome::Device(QStringLiteral("The device at %1 reported the unknown type code %2.")
                               .arg(Where())
                               .arg(code));
  }
  return Outcome::Ok();
}

void Session::ReadName() {
  comm::DeviceTable& table = comm_.state().table;
  table.device_name[kCliSlot].clear();
  if (const comm::ExchangeResult read =
          connect::ReadMemory(comm_, kCliSlot, device::kCmdReadSettings, 0, kNameLength);
      read.answered()) {
    table.device_name[kCliSlot] = connect::NameFromReply(read);
  }
}

Outcome Session::ReadOutOnce() {
  const connect::ReadoutResult readout = connect::ReadDevice(context_, kCliSlot, {});
  if (!readout.complete()) {
    return Outcome::Device(QStringLiteral("The device at %1 did not answer the read-out of its %2.")
                               .arg(Where(), ReadoutStepName(readout.stopped_at)));
  }
  comm_.state().table.device_data_valid[kCliSlot] = 1;
  comm_.state().table.device_needs_read[kCliSlot] = false;
  return Outcome::Ok();
}

Outcome Session::PrepareEditorOnce() {
  const Outcome read = ReadOut();
  if (!read.ok()) return read;
  comm::CommState& state = comm_.state();
  if (!whole_program_.ShowProgram(kCliSlot)) {
    return Outcome::Device(QStringLiteral("The device's program could not be shown."));
  }
  // From here on the run is an open editor: a lost reply is a failure, not a quiet close.
  comm_.ReportLinkLoss(true);
  state.table[kCliSlot].editor_open = true;
  return Outcome::Ok();
}

}  // namespace tessaly::cli
