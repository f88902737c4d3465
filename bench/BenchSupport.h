#pragma once

#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "comm/Messenger.h"

namespace tessaly::bench {

// A benchmark has no one to answer a box; it shows what would have been asked and goes on.
class SilentMessenger : public comm::Messenger {
 public:
  comm::MessageAnswer Show(const comm::Message& message) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
    return comm::MessageAnswer::kOk;
  }
};

// The sample at `fraction` of the sorted samples (0.5 median, 0.99 p99), nearest rank.
inline double Percentile(std::vector<double> samples, double fraction) {
  if (samples.empty()) return 0.0;
  std::sort(samples.begin(), samples.end());
  const auto at = static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1) + 0.5);
  return samples[std::min(at, samples.size() - 1)];
}

}  // namespace tessaly::bench
