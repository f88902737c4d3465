#pragma once

#include <set>
#include <tuple>
#include <vector>

#include "model/EditTypes.h"

namespace tessaly::model {

// The parameters of one device slot whose last edit the device has not acknowledged: it could
// not be sent, went unanswered, or was made while the device was out of reach. The PC's record
// holds the value; the device may not.
class PendingEdits {
 public:
  struct Key {
    ParamId id = ParamId::kGain;
    int channel = -1;
    int element = -1;
    auto operator<=>(const Key&) const = default;
  };

  void Mark(const Key& key) { keys_.insert(key); }
  void Clear(const Key& key) { keys_.erase(key); }
  void ClearAll() { keys_.clear(); }

  bool Contains(const Key& key) const { return keys_.contains(key); }
  int Count() const { return static_cast<int>(keys_.size()); }
  // Pending parameters of one channel; -1 counts the device-wide settings.
  int CountOnChannel(int channel) const;
  std::vector<Key> Keys() const { return {keys_.begin(), keys_.end()}; }

 private:
  std::set<Key> keys_;
};

inline int PendingEdits::CountOnChannel(int channel) const {
  int count = 0;
  for (const Key& key : keys_) count += key.channel == channel ? 1 : 0;
  return count;
}

}  // namespace tessaly::model
