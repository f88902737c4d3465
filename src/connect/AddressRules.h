#pragma once

#include <QString>
#include <array>
#include <optional>

#include "connect/InitConfig.h"

namespace tessaly::connect {

inline constexpr int kRangeFieldCount = 8;  // items 0..3 range start, 4..7 range end
inline constexpr int kRangeEndFirst = 4;

// What a change of range field k leads to: the text the field shows, and for the start's first
// three octets the field that follows it (the end of a range shares its prefix).
struct RangeFieldEdit {
  QString text;
  int copy_to = -1;
};

// Clamps a range octet as it is typed. Text that is not a number yet (empty, a lone sign) is left
// for OK to refuse.
RangeFieldEdit RangeFieldRule(int item, const QString& text);

// After the last octet of the start (item 3) or end (item 7) was edited: the value the other last
// octet must take so that the start does not exceed the end, or nullopt when they are in order.
// The octet not being edited is the one that moves.
std::optional<int> OrderLastOctets(int edited_item, const QString& start_text,
                                   const QString& end_text);

// Octet i of a new device address as it is typed: non-numeric text becomes empty, numbers are
// kept within 1..223, 0..255, 0..255, 1..254.
QString NewIpOctetRule(int index, const QString& text);

// The integer value of an octet field; nullopt for text that is not a whole number.
std::optional<int16_t> OctetValue(const QString& text);

}  // namespace tessaly::connect
