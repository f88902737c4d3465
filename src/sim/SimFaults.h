#pragma once

namespace tessaly::sim {

// Misbehaviour an emulated device can be told to show, to exercise the PC's failure paths.
struct SimFaults {
  bool silent = false;      // hear every packet, answer none
  int silent_after = -1;    // answer this many more packets, then fall silent; -1 = never
  int delay_ms = 0;         // answer this late
  int truncate = -1;        // send only the first this-many bytes of each reply; -1 = all
  bool disconnect = false;  // drop the link on the next packet instead of answering (once)
  int garbage = 0;          // append this many junk bytes to each reply
  int cut = -1;             // send this many bytes of each reply, then drop the link; -1 = never
  // Fall silent this long after the faults were set, and answer again drop_for_ms later, memory
  // intact; -1 = never.
  int drop_after_ms = -1;
  int drop_for_ms = 0;

  bool operator==(const SimFaults&) const = default;
};

}  // namespace tessaly::sim
