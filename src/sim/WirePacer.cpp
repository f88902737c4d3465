#include "sim/WirePacer.h"

#include <algorithm>

namespace tessaly::sim {

namespace {
constexpr int kBitsPerByte = 10;
}  // namespace

WirePacer::WirePacer(int baud)
    : byte_time_(std::chrono::duration_cast<Clock::duration>(
          std::chrono::nanoseconds(1'000'000'000LL * kBitsPerByte / std::max(baud, 1)))) {}

void WirePacer::Push(const QByteArray& bytes, Clock::time_point now) {
  line_free_ = std::max(line_free_, now);
  for (const char byte : bytes) {
    line_free_ += byte_time_;
    queue_.push_back({line_free_, byte});
  }
}

QByteArray WirePacer::TakeDue(Clock::time_point now) {
  QByteArray due;
  while (!queue_.empty() && queue_.front().due <= now) {
    due.append(queue_.front().value);
    queue_.pop_front();
  }
  return due;
}

std::optional<WirePacer::Clock::time_point> WirePacer::NextHandover(Clock::duration gather) const {
  if (queue_.empty()) return std::nullopt;
  const Clock::time_point limit = queue_.front().due + gather;
  const auto after = std::upper_bound(queue_.begin(), queue_.end(), limit,
                                      [](Clock::time_point t, const Byte& b) { return t < b.due; });
  return std::prev(after)->due;
}

}  // namespace tessaly::sim
