#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "sim/SimHost.h"

namespace tessaly::sim {

struct SimCommandLine {
  std::vector<SimDeviceConfig> devices;
  bool trace = false;
  bool help = false;
  bool version = false;
  QString error;  // empty when the line was understood
};

// Reads the emulator's arguments (without the program name). `environment_port` is the value of
// TESSALY_DEVICE_PORT, which sets the default port like --port does; --port wins.
SimCommandLine ParseSimCommandLine(const QStringList& arguments, const QString& environment_port);

// Reads one --device value such as `type=3,tcp=127.0.0.2:1001,name="Main PA",delay=50`.
// Returns an empty text on success, else why it was refused.
QString ParseDeviceKeys(const QString& keys, quint16 default_port, SimDeviceConfig* config);

QString SimHelpText();

}  // namespace tessaly::sim
