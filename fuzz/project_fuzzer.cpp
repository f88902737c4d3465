// Any file as a project for the device type the first byte picks: refused, or taken whole, in
// which case writing it out again gives back the bytes it was read from.
#include <QFile>
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "programs/ProgramFiles.h"
#include "programs/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessaly::programs;
  if (size < 1) return 0;
  const int device_type = data[0] % 4;
  QFile file(WriteFuzzFile(data + 1, size - 1, "fuzz.project"));
  if (!file.open(QIODevice::ReadOnly)) __builtin_trap();
  const QByteArray bytes = file.readAll();
  ProjectBuffer buffer;
  if (!DecodeProject(bytes, device_type, buffer)) return 0;
  const int whole = ProjectFileSize(*FileTypeOf(device_type));
  if (EncodeProject(device_type, buffer) != bytes.left(whole)) __builtin_trap();
  return 0;
}
