#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device/DeviceTypes.h"
#include "protocol/ChannelLinking.h"
#include "protocol/Dispatch.h"
#include "protocol/FamilyAOperations.h"
#include "protocol/FamilyBOperations.h"
#include "protocol/ProgramStore.h"
#include "support/RecordingTransmitter.h"

// The family operations and linking with nothing below the transmit seam: no socket, no
// exchange layer; the slot's device type and the current slot come through the seam too.
namespace tessaly::protocol {
namespace {

using test::RecordingTransmitter;

constexpr int kSlot = 9;

struct Rig {
  RecordingTransmitter tx;
  ProgramStore store{tx};
  FamilyAOperations family_a{store};
  FamilyBOperations family_b{store};
  Dispatcher dispatcher{store, family_a, family_b};
  ChannelLinking linking{store, dispatcher};
  FamilyOperations& ops() { return dispatcher.Current(); }
};

struct Sent {
  uint8_t command;
  device::Params params;
};

struct SeamCase {
  const char* name;
  int type;
  // Runs the edits; returns the outcome of the last one.
  std::function<EditResult(Rig&)> act;
  EditResult result;
  std::vector<Sent> packets;
};

// Link set-up goes through the operations, so its packets lead each list.
const SeamCase kCases[] = {
    {"A linked inputs repeat a gain",
     device::kTypeRk540,
     [](Rig& r) {
       (void)r.ops().SendLink(kSlot, 0, true);
       (void)r.ops().SendGain(kSlot, 1, 108);
       return r.linking.LinkGain(kSlot, 1).result;
     },
     EditResult::kDone,
     {{0x36, {0, 0, 0, 0, 0, 0, 0, 0x01}},
      {0x01, {1, 0, 0, 0, 0, 0, 0, 0x6C}},
      {0x01, {0, 0, 0, 0, 0, 0, 0, 0x6C}}}},
    {"A line out and its trigger setting",
     device::kTypeRk540,
     [](Rig& r) { return r.ops().SendLineOut(kSlot, true); },
     EditResult::kDone,
     {{0x2E, {0, 0, 0, 0, 0, 0, 1, 0}}, {0x11, {0, 0x15, 0, 0, 0, 0, 0, 0}}}},
    {"B a lost follower does not stop the next",
     device::kType540S,
     [](Rig& r) {
       for (int ch : {0, 1, 3}) (void)r.ops().SendLink(kSlot, ch, true);
       (void)r.ops().SendMute(kSlot, 1, true);
       r.tx.result = -1;
       return r.linking.LinkMute(kSlot, 1).result;
     },
     EditResult::kSendFailed,
     {{0x36, {0, 0, 0, 0, 0, 0, 0, 0x01}},
      {0x36, {0, 0, 0, 0, 0, 0, 0, 0x03}},
      {0x36, {0, 0, 0, 0, 0, 0, 0, 0x0B}},
      {0x09, {1, 0, 0, 0, 0, 0, 0, 1}},
      {0x09, {0, 0, 0, 0, 0, 0, 0, 1}},
      {0x09, {3, 0, 0, 0, 0, 0, 0, 1}}}},
};

TEST(TransmitSeam, OperationsHandOverExactlyThesePackets) {
  for (const SeamCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.tx.types[kSlot] = c.type;
    rig.tx.current_slot = kSlot;
    EXPECT_EQ(c.act(rig), c.result);
    std::vector<RecordingTransmitter::Packet> expected;
    for (const Sent& s : c.packets) expected.push_back({kSlot, s.command, s.params});
    EXPECT_EQ(rig.tx.sent, expected);
  }
}

}  // namespace
}  // namespace tessaly::protocol
