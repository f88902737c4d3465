#include "reliability/MatrixRig.h"

#include <QHash>

#include "comm/LinkLossText.h"

namespace tessaly::reliability {

bool MatrixRig::Start(bool registered, int programs) {
  const sim::SimDeviceConfig config{.type = type_, .programs = programs};
  comm::CommState& state = comm.state();
  comm::DeviceTable::Found found;
  found.device_type = static_cast<int16_t>(type_);
  if (line_ == Line::kTcp) {
    index_ = emulator.AddTcpAt(address_, config);
    if (index_ < 0) return false;
    comm.set_device_port(emulator.port());
    state.connection_mode = comm::kLinkTcp;
    found.link_kind = comm::kLinkTcp;
    found.ip_address = address_;
    if (comm.tcp().Initialise(comm::kSlotCount) != 0) return false;
    if (registered && comm.tcp().Connect(slot, address_, emulator.port(), 3000) != 0) return false;
  } else {
    index_ = emulator.AddPty(config);
    if (index_ < 0) return false;
    emulator.MapComPorts(comm.com_ports());
    state.connection_mode = comm::kLinkUsb;
    state.com_port = static_cast<int16_t>(emulator.com_number(index_));
    found.link_kind = comm::kLinkUsb;
  }
  device = &emulator.device(index_);
  if (!registered) return true;
  comm.table().Register(slot, found);
  state.table[slot].editor_open = true;
  state.table.device_needs_read[slot] = false;
  state.current_device = static_cast<int16_t>(slot);
  state.last_slot = static_cast<int16_t>(slot);
  const QByteArray image = device->Image();
  data().Write(0, std::span(reinterpret_cast<const uint8_t*>(image.constData()),
                            static_cast<size_t>(image.size())));
  comm.OpenTraffic();
  comm.ReportLinkLoss(true);
  comm.EnterOnlineMode();
  return true;
}

connect::ConnectOutcome MatrixRig::RunTcpConnect() {
  comm.tcp_slots()->SetLocalAddresses({QStringLiteral("192.168.1.5")});
  const QStringList octets = address_.split(QLatin1Char('.'));
  for (int i = 0; i < 4; ++i) session.config.single[i] = static_cast<int16_t>(octets[i].toInt());
  session.several_addresses = false;
  connect::TcpConnect tcp(context);
  if (!tcp.Initialise()) return connect::ConnectOutcome::kInitFailed;
  std::optional<connect::ConnectOutcome> outcome;
  QEventLoop loop;
  QObject::connect(&tcp, &connect::TcpConnect::finished, &loop, [&](connect::ConnectOutcome ended) {
    outcome = ended;
    loop.quit();
  });
  tcp.Start({});
  if (!outcome) {
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return outcome.value_or(connect::ConnectOutcome::kCancelled);
}

std::string MatrixRig::ImageDifference() const {
  const QByteArray device_image = device->Image();
  const auto pc_image = store.Data(slot)->Image();
  if (device_image.size() != static_cast<qsizetype>(pc_image.size())) return "image sizes differ";
  for (size_t i = 0; i < pc_image.size(); ++i) {
    const auto held = static_cast<uint8_t>(device_image[static_cast<qsizetype>(i)]);
    if (held != pc_image[i]) {
      return "image byte " + std::to_string(i) + ": device " + std::to_string(held) + ", PC " +
             std::to_string(pc_image[i]);
    }
  }
  return {};
}

QString MatrixRig::RepeatedMessage() const {
  QHash<QString, int> seen;
  for (const device::Message& message : messenger.shown) {
    if (++seen[message.title + message.text] == 2) return message.title + message.text;
  }
  return {};
}

int MatrixRig::LossMessages() const {
  int count = 0;
  for (const device::Message& message : messenger.shown) {
    if (message.title == QLatin1String(comm::kLinkLossTitle)) ++count;
  }
  return count;
}

}  // namespace tessaly::reliability
