// Typed text for any parameter, in any context: a number, a parameter or channel name. A value
// that is taken lands inside the parameter's range.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "model/DecimalSnap.h"
#include "model/ParameterDescriptor.h"
#include "protocol/ScaleText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessaly;
  if (size < 3) return 0;
  const auto& table = model::Parameters();
  const model::ParameterDescriptor& parameter = table[(data[0] * 256 + data[1]) % table.size()];
  const uint8_t flags = data[2];
  model::ParseOptions options;
  options.decimal_comma = flags & 1;
  options.unit_suffix = flags & 2;
  options.device_type = (flags >> 2) % 4;
  options.delay_unit = (flags >> 4) & 1;
  options.band_type = (flags >> 5) % 8;
  options.channel = static_cast<int>(flags % 9) - 1;
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 3), static_cast<qsizetype>(size - 3));

  const model::ParseResult parsed = parameter.Parse(text, options);
  if (parsed.ok() && (*parsed.index < parameter.minimum || *parsed.index > parameter.maximum)) {
    __builtin_trap();
  }
  if (!parsed.ok() && parsed.refusal.isEmpty()) __builtin_trap();
  (void)protocol::ParseNumberText(text);
  (void)model::ParseDecimal(text, options.decimal_comma);
  QString error;
  (void)model::ResolveParameter(text, options.device_type, &error);
  (void)model::ResolveChannel(text, options.device_type);
  return 0;
}
