#include <gtest/gtest.h>

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

using Packet = test::RecordingTransmitter::Packet;

constexpr int kSlot = 9;

// A linked mute whose followers are lost: each follower still gets its packet, and the
// failure is what the linking step reports.
TEST(TransmitSeam, OperationsHandOverExactlyThesePackets) {
  test::RecordingTransmitter tx;
  ProgramStore store{tx};
  FamilyAOperations family_a{store};
  FamilyBOperations family_b{store};
  Dispatcher dispatcher{store, family_a, family_b};
  ChannelLinking linking{store, dispatcher};
  tx.types[kSlot] = device::kType540S;
  tx.current_slot = kSlot;
  FamilyOperations& ops = dispatcher.Current();
  for (int ch : {0, 1, 3}) EXPECT_EQ(ops.SendLink(kSlot, ch, true), EditResult::kDone);
  EXPECT_EQ(ops.SendMute(kSlot, 1, true), EditResult::kDone);
  tx.result = -1;
  EXPECT_EQ(linking.LinkMute(kSlot, 1).result, EditResult::kSendFailed);
  EXPECT_EQ(tx.sent, (std::vector<Packet>{{kSlot, 0x36, {0, 0, 0, 0, 0, 0, 0, 0x01}},
                                          {kSlot, 0x36, {0, 0, 0, 0, 0, 0, 0, 0x03}},
                                          {kSlot, 0x36, {0, 0, 0, 0, 0, 0, 0, 0x0B}},
                                          {kSlot, 0x09, {1, 0, 0, 0, 0, 0, 0, 1}},
                                          {kSlot, 0x09, {0, 0, 0, 0, 0, 0, 0, 1}},
                                          {kSlot, 0x09, {3, 0, 0, 0, 0, 0, 0, 1}}}));
  // A family A slot goes to the family A module: its line output and the trigger setting.
  tx.types[kSlot] = device::kTypeRk540;
  tx.sent.clear();
  tx.result = 0;
  EXPECT_EQ(dispatcher.Current().SendLineOut(kSlot, true), EditResult::kDone);
  EXPECT_EQ(tx.sent, (std::vector<Packet>{{kSlot, 0x2E, {0, 0, 0, 0, 0, 0, 1, 0}},
                                          {kSlot, 0x11, {0, 0x15, 0, 0, 0, 0, 0, 0}}}));
}

}  // namespace
}  // namespace tessaly::protocol
