// What a device may hear on its line: any bytes, framed into packets and acted on by an emulated
// device of the type the first byte picks. Packets keep their frame and the memories their size.
#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "sim/SimDevice.h"
#include "sim/SimFramer.h"

namespace {

bool Framed(const QByteArray& packet) {
  const auto at = [&packet](qsizetype i) { return static_cast<uint8_t>(packet[i]); };
  return packet.size() >= 4 && at(0) == ((0x80 + packet.size()) & 0xFF) && at(1) == 0x1F &&
         at(packet.size() - 1) == 0xF7;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessaly::sim;
  if (size < 2) return 0;
  SimDevice device(data[0] % 4);
  const qsizetype image_size = device.Image().size();
  const qsizetype settings_size = device.Settings().size();
  SimFramer framer;
  // The second byte cuts the stream into chunks, as a line delivers it in pieces.
  const size_t chunk = 1 + data[1] % 32;
  for (size_t at = 2; at < size; at += chunk) {
    const size_t n = std::min(chunk, size - at);
    for (const QByteArray& packet : framer.Feed(
             QByteArray(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(n)))) {
      if (!Framed(packet)) __builtin_trap();
      (void)device.Receive(packet);
    }
  }
  if (device.Image().size() != image_size || device.Settings().size() != settings_size) {
    __builtin_trap();
  }
  return 0;
}
