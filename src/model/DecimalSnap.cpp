#include "model/DecimalSnap.h"

#include <cmath>

namespace tessaly::model {
namespace {

constexpr int kDecimals = 9;
constexpr Billionths kOne = 1'000'000'000;
constexpr Billionths kSaturated = kOne * kOne;  // far beyond every range, still safe to double

Billionths StepValue(double step) { return std::llround(step * static_cast<double>(kOne)); }

}  // namespace

std::optional<Billionths> ParseDecimal(QStringView text, bool decimal_comma) {
  text = text.trimmed();
  bool negative = false;
  if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text = text.mid(1);
  }
  Billionths whole = 0;
  Billionths fraction = 0;
  int decimals = 0;
  bool in_fraction = false;
  bool any_digit = false;
  for (const QChar c : text) {
    if (c == u'.' || (decimal_comma && c == u',')) {
      if (in_fraction) return std::nullopt;
      in_fraction = true;
      continue;
    }
    if (c < u'0' || c > u'9') return std::nullopt;
    any_digit = true;
    const int digit = c.unicode() - u'0';
    if (!in_fraction) {
      whole = std::min(whole * 10 + digit, kOne);
    } else if (decimals < kDecimals) {
      fraction = fraction * 10 + digit;
      ++decimals;
    }
  }
  if (!any_digit) return std::nullopt;
  for (int i = decimals; i < kDecimals; ++i) fraction *= 10;
  const Billionths value = whole >= kOne ? kSaturated : whole * kOne + fraction;
  return negative ? -value : value;
}

int SnapDecimal(std::span<const double> steps, Billionths typed) {
  if (steps.empty()) return -1;
  int last_below = 0;
  for (int k = 0; k < static_cast<int>(steps.size()); ++k) {
    const Billionths step = StepValue(steps[static_cast<size_t>(k)]);
    if (step < typed) {
      last_below = k;
      continue;
    }
    if (step == typed) return k;
    const Billionths below = StepValue(steps[static_cast<size_t>(last_below)]);
    return step - typed >= typed - below ? last_below : k;
  }
  return static_cast<int>(steps.size()) - 1;
}

}  // namespace tessaly::model
