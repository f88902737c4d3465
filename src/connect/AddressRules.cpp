#include "connect/AddressRules.h"

namespace tessaly::connect {
namespace {

std::optional<long long> Number(const QString& text) {
  bool ok = false;
  const long long value = text.trimmed().toLongLong(&ok);
  if (!ok) return std::nullopt;
  return value;
}

QString Clamped(const QString& text, long long low, long long high) {
  const auto value = Number(text);
  if (!value) return text;
  if (*value < low) return QString::number(low);
  if (*value > high) return QString::number(high);
  return text;
}

}  // namespace

RangeFieldEdit RangeFieldRule(int item, const QString& text) {
  switch (item) {
    case 0:
      // Host addresses of classes A to C only.
      return {Clamped(text, 1, 223), kRangeEndFirst};
    case 1:
    case 2:
      return {Clamped(text, 0, 255), item + kRangeEndFirst};
    case 3:
      return {Clamped(text, 0, 255), -1};
    case 7:
      return {Clamped(text, 1, 254), -1};
    default:
      return {text, -1};
  }
}

std::optional<int> OrderLastOctets(int edited_item, const QString& start_text,
                                   const QString& end_text) {
  const auto start = Number(start_text);
  const auto end = Number(end_text);
  if (!start || !end || *start <= *end) return std::nullopt;
  return static_cast<int>(edited_item == 3 ? *start : *end);
}

QString NewIpOctetRule(int index, const QString& text) {
  if (text.isEmpty()) return text;
  if (!Number(text)) return QString();
  switch (index) {
    case 0:
      return Clamped(text, 1, 223);
    case 3:
      return Clamped(text, 1, 254);
    default:
      return Clamped(text, 0, 255);
  }
}

std::optional<int16_t> OctetValue(const QString& text) {
  const auto value = Number(text);
  if (!value || *value < -32768 || *value > 32767) return std::nullopt;
  return static_cast<int16_t>(*value);
}

}  // namespace tessaly::connect
