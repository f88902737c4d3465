#pragma once

#include <QString>
#include <optional>

namespace tessaly::protocol {

// "7" becomes "07"; 10 and above are written as they are.
QString FormatTwoDigits(int n);

// Shortest decimal form of a shown value (up to 15 significant digits, no exponent for the
// ranges the editors show): 3.5 -> "3.5", -60 -> "-60", 0.25 -> "0.25". With decimal_comma the
// separator is "," as the user's locale writes it.
QString NumberText(double value, bool decimal_comma);
// Always exactly one decimal: 1 -> "1.0" (the limiter release list is shown this way).
QString OneDecimalText(double value, bool decimal_comma);

// Compressor ratio byte b is shown as (b + 2) followed by ":1".
QString RatioText(int byte);
// Noise generator level byte b is shown as b - 40 (dB).
QString NoiseLevelText(int byte);

// Reads a typed number. The editors turn both "," and "." into the locale's separator before
// reading, so either one is a decimal separator here; blanks around the number are ignored and
// a leading "+" or "-" is allowed. Empty, non-numeric or non-finite text gives nothing.
std::optional<double> ParseNumberText(const QString& text);

}  // namespace tessaly::protocol
