#include "sim/SimOptions.h"

#include <QCommandLineParser>
#include <QHostAddress>

#include "device/DeviceTypes.h"

namespace tessaly::sim {
namespace {

constexpr quint16 kDefaultPort = 1001;

// Splits on commas outside double quotes and drops the quotes, so names may hold commas.
QStringList SplitKeys(const QString& keys, QString* error) {
  QStringList parts;
  QString current;
  bool quoted = false;
  for (const QChar c : keys) {
    if (c == QLatin1Char('"')) {
      quoted = !quoted;
    } else if (c == QLatin1Char(',') && !quoted) {
      parts << current;
      current.clear();
    } else {
      current += c;
    }
  }
  if (quoted) *error = QStringLiteral("unbalanced quote in \"%1\"").arg(keys);
  parts << current;
  return parts;
}

bool ToInt(const QString& text, int low, int high, int* value) {
  bool ok = false;
  const int parsed = text.toInt(&ok);
  if (!ok || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

bool ToPort(const QString& text, quint16* port) {
  int value = 0;
  if (!ToInt(text, 0, 65535, &value)) return false;
  *port = static_cast<quint16>(value);
  return true;
}

bool ToTriple(const QString& text, std::array<uint8_t, 3>* triple) {
  const QStringList parts = text.split(QLatin1Char('.'));
  if (parts.size() != 3) return false;
  for (int i = 0; i < 3; ++i) {
    int value = 0;
    if (!ToInt(parts[i], 0, 255, &value)) return false;
    (*triple)[i] = static_cast<uint8_t>(value);
  }
  return true;
}

bool ToOctets(const QString& text, std::array<uint8_t, 4>* octets) {
  const QStringList parts = text.split(QLatin1Char('.'));
  if (parts.size() != 4) return false;
  for (int i = 0; i < 4; ++i) {
    int value = 0;
    if (!ToInt(parts[i], 0, 255, &value)) return false;
    (*octets)[i] = static_cast<uint8_t>(value);
  }
  return true;
}

// The emulator serves the local machine only.
bool IsLoopback(const QString& address) {
  const QHostAddress host(address);
  return host.protocol() == QAbstractSocket::IPv4Protocol &&
         host.isInSubnet(QHostAddress(QStringLiteral("127.0.0.0")), 8);
}

}  // namespace

QString ParseDeviceKeys(const QString& keys, quint16 default_port, SimDeviceConfig* config) {
  QString error;
  const QStringList parts = SplitKeys(keys, &error);
  if (!error.isEmpty()) return error;
  SimDeviceConfig result;
  result.port = default_port;
  bool have_type = false;
  bool have_link = false;
  for (const QString& part : parts) {
    if (part.trimmed().isEmpty()) continue;
    const qsizetype equals = part.indexOf(QLatin1Char('='));
    const QString key = (equals < 0 ? part : part.left(equals)).trimmed().toLower();
    const QString value = equals < 0 ? QString() : part.mid(equals + 1);
    const QString bad = QStringLiteral("bad value for %1: \"%2\"").arg(key, value);
    int number = 0;
    if (key == QLatin1String("type")) {
      if (!ToInt(value, 0, device::kTypeCount - 1, &result.type)) return bad;
      have_type = true;
    } else if (key == QLatin1String("tcp")) {
      if (have_link) return QStringLiteral("a device has one link: tcp or pty");
      have_link = true;
      result.link = SimLinkKind::kTcp;
      const qsizetype colon = value.indexOf(QLatin1Char(':'));
      result.address = colon < 0 ? value : value.left(colon);
      if (colon >= 0 && !ToPort(value.mid(colon + 1), &result.port)) return bad;
      if (!IsLoopback(result.address)) {
        return QStringLiteral("tcp address %1 is not in 127.0.0.0/8").arg(result.address);
      }
    } else if (key == QLatin1String("pty")) {
      if (have_link) return QStringLiteral("a device has one link: tcp or pty");
      have_link = true;
      result.link = SimLinkKind::kPty;
      result.pty_link = value == QLatin1String("auto") ? QString() : value;
    } else if (key == QLatin1String("pace")) {
      if (value != QLatin1String("wire") && value != QLatin1String("none")) return bad;
      result.pace_wire = value == QLatin1String("wire");
    } else if (key == QLatin1String("name")) {
      result.name = value;
    } else if (key == QLatin1String("ip")) {
      std::array<uint8_t, 4> octets{};
      if (!ToOctets(value, &octets)) return bad;
      result.ip = octets;
    } else if (key == QLatin1String("firmware")) {
      if (!ToTriple(value, &result.versions.firmware)) return bad;
    } else if (key == QLatin1String("second")) {
      if (!ToTriple(value, &result.versions.second)) return bad;
    } else if (key == QLatin1String("programs")) {
      if (!ToInt(value, 0, 64, &result.programs)) return bad;
    } else if (key == QLatin1String("meters")) {
      if (!ParseProgramme(value, &result.meters.programme)) return bad;
    } else if (key == QLatin1String("seed")) {
      if (!ToInt(value, 0, 2147483647, &number)) return bad;
      result.meters.seed = static_cast<uint32_t>(number);
    } else if (key == QLatin1String("clip")) {
      if (!ToInt(value, -60, 20, &number)) return bad;
      result.meters.clip_dbv = number;
    } else if (key == QLatin1String("silent")) {
      result.faults.silent = true;
    } else if (key == QLatin1String("silent-after")) {
      if (!ToInt(value, 0, 1000000, &result.faults.silent_after)) return bad;
    } else if (key == QLatin1String("delay")) {
      if (!ToInt(value, 0, 600000, &result.faults.delay_ms)) return bad;
    } else if (key == QLatin1String("truncate")) {
      if (!ToInt(value, 0, 1000, &result.faults.truncate)) return bad;
    } else if (key == QLatin1String("disconnect")) {
      result.faults.disconnect = true;
    } else if (key == QLatin1String("garbage")) {
      if (!ToInt(value, 0, 1000, &number)) return bad;
      result.faults.garbage = number;
    } else if (key == QLatin1String("cut")) {
      if (!ToInt(value, 0, 1000, &result.faults.cut)) return bad;
    } else if (key == QLatin1String("drop")) {
      const QStringList times = value.split(QLatin1Char(':'));
      if (times.size() != 2 || !ToInt(times[0], 0, 86400000, &result.faults.drop_after_ms) ||
          !ToInt(times[1], 0, 86400000, &result.faults.drop_for_ms)) {
        return bad;
      }
    } else if (key == QLatin1String("memory")) {
      if (value.isEmpty()) return bad;
      result.memory_file = value;
    } else {
      return QStringLiteral("unknown device key \"%1\"").arg(key);
    }
  }
  if (!have_type) return QStringLiteral("device without type=: \"%1\"").arg(keys);
  if (result.pace_wire && result.link != SimLinkKind::kPty) {
    return QStringLiteral("pace=wire needs a pty link");
  }
  *config = result;
  return {};
}

SimCommandLine ParseSimCommandLine(const QStringList& arguments, const QString& environment_port) {
  SimCommandLine line;
  quint16 default_port = kDefaultPort;
  if (!environment_port.isEmpty() && !ToPort(environment_port, &default_port)) {
    line.error = QStringLiteral("TESSALY_DEVICE_PORT is not a port: \"%1\"").arg(environment_port);
    return line;
  }
  const QCommandLineOption device(QStringLiteral("device"), QString(), QStringLiteral("KEYS"));
  const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("N"));
  const QCommandLineOption trace(QStringLiteral("trace"));
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringLiteral("version"));
  QCommandLineParser parser;
  parser.addOptions({device, port, trace, help, version});
  if (!parser.parse(QStringList{QStringLiteral("tessaly-sim")} + arguments)) {
    line.error = parser.errorText();
    return line;
  }
  if (!parser.positionalArguments().isEmpty()) {
    line.error =
        QStringLiteral("unknown argument \"%1\"").arg(parser.positionalArguments().constFirst());
    return line;
  }
  line.help = parser.isSet(help);
  line.version = parser.isSet(version);
  line.trace = parser.isSet(trace);
  if (line.help || line.version) return line;
  // The last --port counts, and it applies to every device wherever it stands.
  if (parser.isSet(port) && !ToPort(parser.value(port), &default_port)) {
    line.error = QStringLiteral("--port needs a port number, not \"%1\"").arg(parser.value(port));
    return line;
  }
  const QStringList device_keys = parser.values(device);
  if (device_keys.isEmpty()) {
    line.error = QStringLiteral("no --device given");
    return line;
  }
  for (const QString& keys : device_keys) {
    SimDeviceConfig config;
    const QString error = ParseDeviceKeys(keys, default_port, &config);
    if (!error.isEmpty()) {
      line.error = error;
      return line;
    }
    line.devices.push_back(config);
  }
  return line;
}

QString SimHelpText() {
  return QStringLiteral(R"(Usage: tessaly-sim [--port N] [--trace] --device KEYS [--device KEYS ...]

Emulates loudspeaker processors on this machine: each device listens on a TCP port of a
loopback address (127.0.0.0/8) or on a pseudo-terminal that stands in for its USB serial port.
Runs until SIGINT or SIGTERM and prints one line per device saying where it listens.

Options:
  --device KEYS   start one device (repeat for several devices); KEYS is below
  --port N        default TCP port of the devices (else TESSALY_DEVICE_PORT, else 1001)
  --trace         log every packet received and sent, in hex, on stderr
  --help, -h      show this text
  --version       print the emulator's version

KEYS is a comma-separated list of keys (quote values that hold commas or blanks):
  type=T             device type: 0 RK-540, 1 RK-360, 2 RL-4800, 3 540S (required)
  tcp=ADDR[:PORT]    listen on ADDR (must be in 127.0.0.0/8); the default link is
                     tcp=127.0.0.1 on the default port
  pty=PATH|auto      use a pseudo-terminal instead; PATH (e.g. /tmp/tessaly/COM3) becomes a
                     link to it. The device answers only while the PC has set the line to the
                     type's speed: 57600 baud for types 0 and 3, 9600 for types 1 and 2
  pace=wire|none     pty only: wire lets every byte take its time on the line (ten bits at
                     the type's speed: a 13-byte packet takes 13.5 ms at 9600 baud), as a real
                     cable does; none (the default) passes bytes at once
  name=TEXT          device name, up to 16 characters (default: the model name)
  ip=A.B.C.D         IP address the device reports (default 192.168.0.100)
  firmware=X.Y.Z     firmware version (default 1.1.5)
  second=X.Y.Z       second version (default 1.0.4)
  programs=N         fill the first N program slots with presets (default 0: all empty)
  meters=PROGRAMME   what the meters show: music (default; levels follow the gains, mutes,
                     compressors and limiters, with pauses between songs), tone (a steady
                     -3 dBV) or silence; standby silences them
  seed=N             start of the meters' random sequence (default 1): same seed, same levels
  clip=DBV           level in dBV above which a channel reports clipping (default 11)
  memory=FILE        keep the device's memories in FILE, read at start and written on every
                     change, so a restarted emulator holds what it held

Faults, to exercise the PC's error handling:
  silent             hear every packet, answer none
  silent-after=N     answer N packets, then fall silent
  drop=AFTER:FOR     fall silent AFTER ms after the start and answer again FOR ms later
  delay=MS           answer every packet MS milliseconds late
  truncate=K         send only the first K bytes of every reply
  disconnect         drop the link on the first packet (a pty comes back on a new line
                     behind the same link path)
  garbage=N          append N junk bytes to every reply
  cut=K              send the first K bytes of every reply, then drop the link

Examples:
  tessaly-sim --device type=3,tcp=127.0.0.2:1001,name="Main PA" \
              --device type=1,pty=/tmp/tessaly/COM3 --trace
  tessaly-sim --port 5001 --device type=0,tcp=127.0.0.2 --device type=0,tcp=127.0.0.3,delay=300
)");
}

}  // namespace tessaly::sim
