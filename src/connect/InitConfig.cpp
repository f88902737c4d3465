#include "connect/InitConfig.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace tessaly::connect {
namespace {

// Field order on disk: ComPort, mode, single[4], range start[4], range end[4].
template <typename Fn>
void ForEachField(InitConfig& config, Fn fn) {
  fn(config.com_port);
  fn(config.connection_mode);
  for (auto* octets : {&config.single, &config.range_start, &config.range_end}) {
    for (int16_t& octet : *octets) fn(octet);
  }
}

}  // namespace

QByteArray InitConfig::Encode() const {
  QByteArray out;
  out.reserve(kInitConfigSize);
  InitConfig copy = *this;
  ForEachField(copy, [&](int16_t& field) {
    const auto raw = static_cast<uint16_t>(field);
    out.append(static_cast<char>(raw & 0xFF));
    out.append(static_cast<char>(raw >> 8));
  });
  return out;
}

bool InitConfig::Decode(const QByteArray& bytes) {
  if (bytes.size() < kInitConfigSize) return false;
  int at = 0;
  ForEachField(*this, [&](int16_t& field) {
    field = qFromLittleEndian<int16_t>(bytes.constData() + at);
    at += 2;
  });
  return true;
}

QString InitConfigPath(const QString& program_folder) {
  return QDir(program_folder).filePath(QString::fromLatin1(kInitConfigFileName));
}

bool LoadInitConfig(const QString& path, InitConfig& config) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  return config.Decode(file.read(kInitConfigSize));
}

bool SaveInitConfig(const QString& path, const InitConfig& config) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const QByteArray record = config.Encode();
  return file.write(record) == record.size() && file.flush();
}

}  // namespace tessaly::connect
