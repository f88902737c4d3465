#include "sim/SimHost.h"

#include <QCoreApplication>
#include <QHostAddress>

#include "device/DeviceTypes.h"
#include "sim/SimPtyEndpoint.h"
#include "sim/SimTcpEndpoint.h"

namespace tessaly::sim {

SimHost::SimHost() {
  thread_.setObjectName(QStringLiteral("tessaly-sim"));
  context_ = new QObject;
  context_->moveToThread(&thread_);
  QObject::connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
  thread_.start();
}

SimHost::~SimHost() {
  // Endpoints are children of the context, so they close their ports and lines on its thread.
  QMetaObject::invokeMethod(
      context_, [this] { qDeleteAll(context_->children()); }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
}

void SimHost::SetTrace(SimTrace trace) { trace_ = std::move(trace); }

int SimHost::Start(const SimDeviceConfig& config, QString* error) {
  if (!device::IsValidType(config.type)) {
    if (error) *error = QStringLiteral("unknown device type %1").arg(config.type);
    return -1;
  }
  auto device = std::make_shared<SimDevice>(config.type);
  if (!config.name.isEmpty()) device->SetName(config.name);
  if (config.ip) device->SetIpAddress(*config.ip);
  device->SetVersions(config.versions);
  device->FillPrograms(config.programs);
  device->SetFaults(config.faults);
  device->SetMeterConfig(config.meters);
  if (!config.memory_file.isEmpty() && !device->KeepMemoryIn(config.memory_file, error)) return -1;

  int index = 0;
  {
    std::lock_guard lock(mutex_);
    index = static_cast<int>(entries_.size());
  }
  const QString label = QStringLiteral("dev%1").arg(index);

  Entry entry;
  entry.device = device;
  entry.link = config.link;
  QString failure;
  bool ok = false;
  QMetaObject::invokeMethod(
      context_,
      [&] {
        if (config.link == SimLinkKind::kTcp) {
          auto* tcp = new SimTcpEndpoint(device, label, trace_, context_);
          ok = tcp->Listen(QHostAddress(config.address), config.port, &failure);
          entry.address = tcp->address().toString();
          entry.port = tcp->port();
          entry.endpoint = tcp;
        } else {
          auto* pty = new SimPtyEndpoint(device, label, trace_, context_);
          pty->SetWirePaced(config.pace_wire);
          ok = pty->Open(config.pty_link, &failure);
          entry.endpoint = pty;
        }
        if (!ok) {
          delete entry.endpoint;
          entry.endpoint = nullptr;
        }
      },
      Qt::BlockingQueuedConnection);
  if (!ok) {
    if (error) *error = failure;
    return -1;
  }
  std::lock_guard lock(mutex_);
  entries_.push_back(entry);
  return static_cast<int>(entries_.size()) - 1;
}

void SimHost::Stop(int index) {
  SimEndpoint* endpoint = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    endpoint = entries_[index].endpoint;
    entries_[index].endpoint = nullptr;
  }
  if (!endpoint) return;
  QMetaObject::invokeMethod(
      context_, [endpoint] { delete endpoint; }, Qt::BlockingQueuedConnection);
}

const SimHost::Entry* SimHost::Find(int index) const {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return nullptr;
  return &entries_[index];
}

int SimHost::count() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(entries_.size());
}

std::shared_ptr<SimDevice> SimHost::device(int index) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(index);
  return entry ? entry->device : nullptr;
}

SimLinkKind SimHost::link(int index) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(index);
  return entry ? entry->link : SimLinkKind::kTcp;
}

QString SimHost::address(int index) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(index);
  return entry ? entry->address : QString();
}

quint16 SimHost::port(int index) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(index);
  return entry ? entry->port : 0;
}

QString SimHost::pty_path(int index) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(index);
  if (!entry || entry->link != SimLinkKind::kPty || !entry->endpoint) return {};
  // Path() only reads what the endpoint guards itself.
  return static_cast<const SimPtyEndpoint*>(entry->endpoint)->Path();
}

int SimHost::line_speed(int index) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(index);
  if (!entry || entry->link != SimLinkKind::kPty || !entry->endpoint) return 0;
  return static_cast<const SimPtyEndpoint*>(entry->endpoint)->LineSpeed();
}

QString SimHost::Describe(int index) const {
  std::lock_guard lock(mutex_);
  const Entry* entry = Find(index);
  if (!entry) return {};
  const int type = entry->device->type();
  QString where = QStringLiteral("(stopped)");
  if (entry->endpoint && entry->link == SimLinkKind::kTcp) {
    where = QStringLiteral("tcp %1:%2").arg(entry->address).arg(entry->port);
  } else if (entry->endpoint) {
    where = entry->endpoint->Where();  // guarded by the endpoint: its line may be re-plugged
  }
  return QStringLiteral("device %1: type %2 (%3) \"%4\" on %5")
      .arg(index)
      .arg(type)
      .arg(SimModelName(type), entry->device->Name(), where);
}

}  // namespace tessaly::sim
