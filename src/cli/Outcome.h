#pragma once

#include <QString>

namespace tessaly::cli {

// Exit status of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitDevice = 1;  // the device did not answer or refused
inline constexpr int kExitUsage = 2;

// Result of a command step: an exit status and, when it failed, the one sentence to print.
struct Outcome {
  int code = kExitOk;
  QString message;

  bool ok() const { return code == kExitOk; }
  static Outcome Ok() { return {}; }
  static Outcome Device(const QString& message) { return {kExitDevice, message}; }
  static Outcome Usage(const QString& message) { return {kExitUsage, message}; }
};

}  // namespace tessaly::cli
