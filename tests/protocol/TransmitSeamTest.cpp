#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <ostream>
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
    {"A output link skips a non-member",
     device::kTypeRk360,
     [](Rig& r) {
       (void)r.ops().SendLink(kSlot, 2, true);
       (void)r.ops().SendLink(kSlot, 4, true);
       (void)r.ops().SendCrossover(kSlot, 2, 0, 120, 7);
       return r.linking.LinkCrossover(kSlot, 2, 0).result;
     },
     EditResult::kDone,
     {{0x36, {0, 0, 0, 0, 0, 0, 0, 0x04}},
      {0x36, {0, 0, 0, 0, 0, 0, 0, 0x14}},
      {0x04, {2, 0, 0, 0, 0, 0, 0x78, 7}},
      {0x04, {4, 0, 0, 0, 0, 0, 0x78, 7}}}},
    {"A line out only on the RK-540",
     device::kTypeRl4800,
     [](Rig& r) { return r.ops().SendLineOut(kSlot, true); },
     EditResult::kNotSupported,
     {}},
    {"A line out and its trigger setting",
     device::kTypeRk540,
     [](Rig& r) { return r.ops().SendLineOut(kSlot, true); },
     EditResult::kDone,
     {{0x2E, {0, 0, 0, 0, 0, 0, 1, 0}}, {0x11, {0, 0x15, 0, 0, 0, 0, 0, 0}}}},
    {"A operations refuse a family B slot",
     device::kType540S,
     [](Rig& r) { return r.family_a.SendGain(kSlot, 0, 10); },
     EditResult::kRefused,
     {}},
    {"B outputs repeat a gain in channel order",
     device::kType540S,
     [](Rig& r) {
       for (int ch : {4, 5, 6}) (void)r.ops().SendLink(kSlot, ch, true);
       (void)r.ops().SendGain(kSlot, 5, 100);
       return r.linking.LinkGain(kSlot, 5).result;
     },
     EditResult::kDone,
     {{0x36, {0, 0, 0, 0, 0, 0, 0, 0x10}},
      {0x36, {0, 0, 0, 0, 0, 0, 0, 0x30}},
      {0x36, {0, 0, 0, 0, 0, 0, 0, 0x70}},
      {0x01, {5, 0, 0, 0, 0, 0, 0, 100}},
      {0x01, {4, 0, 0, 0, 0, 0, 0, 100}},
      {0x01, {6, 0, 0, 0, 0, 0, 0, 100}}}},
    {"B EQ band copy keeps the follower's own bypass",
     device::kType540S,
     [](Rig& r) {
       (void)r.ops().SendLink(kSlot, 0, true);
       (void)r.ops().SendLink(kSlot, 2, true);
       (void)r.ops().SendEqBand(kSlot, 0, 5, {0, 800, 9, 30}, true);
       (void)r.ops().SendEqBand(kSlot, 2, 5, {2, 3150, 40, 50}, false);
       return r.linking.LinkEqBand(kSlot, 2, 5).result;
     },
     EditResult::kDone,
     {{0x36, {0, 0, 0, 0, 0, 0, 0, 0x01}},
      {0x36, {0, 0, 0, 0, 0, 0, 0, 0x05}},
      {0x05, {0, 5, 1, 0, 0x03, 0x20, 9, 30}},
      {0x05, {2, 5, 0, 2, 0x0C, 0x4E, 40, 50}},
      {0x05, {0, 5, 1, 2, 0x0C, 0x4E, 40, 50}}}},
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

void PrintTo(const SeamCase& c, std::ostream* os) { *os << c.name; }

class TransmitSeamTest : public testing::TestWithParam<SeamCase> {};

TEST_P(TransmitSeamTest, HandsOverExactlyThesePackets) {
  const SeamCase& c = GetParam();
  Rig rig;
  rig.tx.types[kSlot] = c.type;
  rig.tx.current_slot = kSlot;
  EXPECT_EQ(c.act(rig), c.result);
  std::vector<RecordingTransmitter::Packet> expected;
  for (const Sent& s : c.packets) expected.push_back({kSlot, s.command, s.params});
  EXPECT_EQ(rig.tx.sent, expected);
}

INSTANTIATE_TEST_SUITE_P(Operations, TransmitSeamTest, testing::ValuesIn(kCases),
                         [](const auto& info) {
                           std::string name;
                           for (char ch : std::string(info.param.name)) {
                             if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
                           }
                           return name;
                         });

}  // namespace
}  // namespace tessaly::protocol
