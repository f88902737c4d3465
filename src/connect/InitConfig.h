#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace tessaly::connect {

inline constexpr int kInitConfigSize = 28;
inline constexpr const char* kInitConfigFileName = "init.cfg";

using Octets = std::array<int16_t, 4>;  // most significant first

// The port selection's settings record: fourteen 16-bit little-endian fields.
struct InitConfig {
  int16_t com_port = 0;         // 1..64, 0 = none
  int16_t connection_mode = 0;  // 0 USB, 1 TCP/IP
  Octets single{};
  Octets range_start{};
  Octets range_end{};

  QByteArray Encode() const;
  // Fills the record from the first 28 bytes; a shorter block is refused and leaves it as it was.
  bool Decode(const QByteArray& bytes);

  bool operator==(const InitConfig&) const = default;
};

QString InitConfigPath(const QString& program_folder);

// Loads the record from `path`. A missing, unreadable or short file leaves `config` untouched and
// returns false: the fields keep what they held (zero at the first start).
bool LoadInitConfig(const QString& path, InitConfig& config);
// Writes the 28-byte record at the start of the file, creating it if needed.
bool SaveInitConfig(const QString& path, const InitConfig& config);

}  // namespace tessaly::connect
