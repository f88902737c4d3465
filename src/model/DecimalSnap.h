#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>
#include <span>

namespace tessaly::model {

// A typed number held exactly, in billionths, so that a typed midpoint such as -17.9 compares
// equal to the midpoint of its two neighbouring steps.
using Billionths = int64_t;

// Reads "-17.9", "+3", ",5" or "4." ("," and "." both separate decimals when the comma is
// allowed). Digits past the ninth decimal are dropped; magnitudes beyond a billion saturate.
std::optional<Billionths> ParseDecimal(QStringView text, bool decimal_comma);

// The step index nearest to the typed value; an exact midpoint goes to the lower step, a value
// below the first step gives 0 and above the last the top index.
int SnapDecimal(std::span<const double> steps, Billionths typed);

}  // namespace tessaly::model
