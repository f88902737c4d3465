// Any file as the settings record: loaded or refused, and a loaded record writes back the bytes
// it was read from.
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "connect/InitConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessaly::connect;
  InitConfig config;
  if (!LoadInitConfig(WriteFuzzFile(data, size, kInitConfigFileName), config)) {
    if (!(config == InitConfig{})) __builtin_trap();  // a refused file changes nothing
    return 0;
  }
  const QByteArray head(reinterpret_cast<const char*>(data), kInitConfigSize);
  if (config.Encode() != head) __builtin_trap();
  return 0;
}
