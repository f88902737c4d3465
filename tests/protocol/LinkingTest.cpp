#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FamilyBSimFixture.h"
#include "comm/DeviceTypes.h"

namespace tessaly::protocol {
namespace {

using test::Hex;
using test::ProtocolDeviceFixture;

constexpr int kSlot = ProtocolDeviceFixture::kSlot;

SlotState Members(std::initializer_list<int> channels, bool inputs_linked = false) {
  SlotState state;
  state.input_link_on = inputs_linked ? 1 : 0;
  for (int c : channels) state.link_member[static_cast<size_t>(c)] = 1;
  return state;
}

struct FollowerCase {
  const char* name;
  Family family;
  SlotState state;
  int edited;
  std::vector<int> followers;
};

TEST(LinkFollowers, GroupsOrderAndMembership) {
  const std::vector<FollowerCase> cases = {
      {"A inputs linked, InR edited", Family::kA, Members({}, true), 1, {0}},
      {"A inputs linked, InL edited", Family::kA, Members({}, true), 0, {1}},
      {"A inputs not linked", Family::kA, Members({0, 1}), 0, {}},
      {"A input link leaves outputs alone", Family::kA, Members({}, true), 2, {}},
      {"A Left and Sub without Right", Family::kA, Members({2, 4}), 2, {4}},
      {"A Sub edited", Family::kA, Members({2, 4}), 4, {2}},
      {"A Right not a member", Family::kA, Members({2, 4}), 3, {}},
      {"A all outputs, Right edited", Family::kA, Members({2, 3, 4}), 3, {2, 4}},
      {"A channel 5 does not exist", Family::kA, Members({2, 3, 4}, true), 5, {}},
      {"B inputs 0 and 2, input 2 edited", Family::kB, Members({0, 2}), 2, {0}},
      {"B inputs 0 and 2, input 1 edited", Family::kB, Members({0, 2}), 1, {}},
      {"B all inputs, input 1 edited", Family::kB, Members({0, 1, 2, 3}), 1, {0, 2, 3}},
      {"B inputs never follow outputs", Family::kB, Members({3, 4}), 3, {}},
      {"B outputs never follow inputs", Family::kB, Members({3, 4}), 4, {}},
      {"B all outputs, Right edited", Family::kB, Members({4, 5, 6}), 5, {4, 6}},
      {"B no input link box", Family::kB, Members({1}, true), 0, {}},
      {"B channel 7 does not exist", Family::kB, Members({4, 5, 6}), 7, {}},
      {"B negative channel", Family::kB, Members({0, 1}), -1, {}},
  };
  for (const FollowerCase& c : cases) {
    EXPECT_EQ(LinkFollowers(c.family, c.state, c.edited), c.followers) << c.name;
  }
}

TEST(LinkByte, FormulasOfBothFamilies) {
  EXPECT_EQ(LinkByte(Family::kA, Members({3, 4}, true)), 25);
  EXPECT_EQ(LinkByte(Family::kA, Members({2})), 4);
  EXPECT_EQ(LinkByte(Family::kB, Members({0, 2, 6})), 69);
  EXPECT_EQ(LinkByte(Family::kB, Members({0, 1, 2, 3, 4, 5, 6})), 127);
}

TEST(LinkByte, FlagsComeBackFromTheByte) {
  for (int byte = 0; byte < 128; ++byte) {
    SlotState state = Members({0, 1, 2, 3, 4, 5, 6}, true);
    RestoreLinkFlags(Family::kB, static_cast<uint8_t>(byte), state);
    EXPECT_EQ(LinkByte(Family::kB, state), byte);
    EXPECT_EQ(state.input_link_on, 0);
  }
  for (int byte = 0; byte < 32; ++byte) {
    if ((byte & 2) != 0) continue;  // bit 1 carries nothing in family A
    SlotState state = Members({0, 1, 5, 6});
    RestoreLinkFlags(Family::kA, static_cast<uint8_t>(byte), state);
    EXPECT_EQ(LinkByte(Family::kA, state), byte);
    EXPECT_EQ(state.link_member[0] + state.link_member[1] + state.link_member[5], 0);
  }
}

class LinkingTest : public ::testing::Test {
 protected:
  std::unique_ptr<ProtocolDeviceFixture> Start(int type, std::initializer_list<int> members,
                                               bool inputs_linked = false) {
    auto fx = std::make_unique<ProtocolDeviceFixture>(type);
    fx->ReadOutSettings();
    FamilyOperations& ops = fx->dispatcher_.For(kSlot);
    if (inputs_linked) {
      EXPECT_EQ(ops.SendLink(kSlot, 0, true), EditResult::kDone);
    }
    for (int c : members) EXPECT_EQ(ops.SendLink(kSlot, c, true), EditResult::kDone);
    fx->sent.clear();
    return fx;
  }
};

TEST_F(LinkingTest, SettingALinkSendsTheLinkByteAndCopiesNothing) {
  auto fx = Start(comm::kTypeRk540, {});
  FamilyOperations& ops = fx->dispatcher_.For(kSlot);
  const auto before = fx->data().Read(0, 320);
  ASSERT_EQ(ops.SendLink(kSlot, 1, true), EditResult::kDone);
  ASSERT_EQ(ops.SendLink(kSlot, 3, true), EditResult::kDone);
  ASSERT_EQ(ops.SendLink(kSlot, 4, true), EditResult::kDone);
  EXPECT_EQ(fx->data().Get(350), 25);
  EXPECT_EQ(Hex(fx->sent.back()), "8D 1F 00 36 00 00 00 00 00 00 00 19 F7");
  EXPECT_EQ(fx->data().Read(0, 320), before);
  ASSERT_EQ(ops.SendLink(kSlot, 0, false), EditResult::kDone);
  EXPECT_EQ(fx->data().Get(350), 24);
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST_F(LinkingTest, FamilyALinkedInputsRepeatAGainOnTheOtherInput) {
  auto fx = Start(comm::kTypeRk540, {}, true);
  ASSERT_EQ(fx->dispatcher_.For(kSlot).SendGain(kSlot, 1, 108), EditResult::kDone);
  const LinkOutcome outcome = fx->linking_.LinkGain(kSlot, 1);
  EXPECT_EQ(outcome.result, EditResult::kDone);
  EXPECT_EQ(outcome.followers, std::vector<int>{0});
  ASSERT_EQ(fx->sent.size(), 2);
  EXPECT_EQ(Hex(fx->sent[0]), "8D 1F 00 01 01 00 00 00 00 00 00 6C F7");
  EXPECT_EQ(Hex(fx->sent[1]), "8D 1F 00 01 00 00 00 00 00 00 00 6C F7");
  EXPECT_EQ(fx->data().Get(4), 108);
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST_F(LinkingTest, FamilyAOutputLinkSkipsANonMember) {
  auto fx = Start(comm::kTypeRk540, {2, 4});
  FamilyOperations& ops = fx->dispatcher_.For(kSlot);
  ASSERT_EQ(ops.SendCrossover(kSlot, 2, 0, 120, 7), EditResult::kDone);
  EXPECT_EQ(fx->linking_.LinkCrossover(kSlot, 2, 0).followers, std::vector<int>{4});
  ASSERT_EQ(fx->sent.size(), 2);
  EXPECT_EQ(Hex(fx->sent[1]), "8D 1F 00 04 04 00 00 00 00 00 78 07 F7");
  EXPECT_EQ(fx->data().Get(264 + 1), 120);
  EXPECT_EQ(fx->state().crossover[4].frequency, 120);
  EXPECT_EQ(fx->state().crossover[4].slope, 7);
  // Right is not a member: its edits stay its own.
  fx->sent.clear();
  ASSERT_EQ(ops.SendCrossover(kSlot, 3, 1, 5000, 2), EditResult::kDone);
  EXPECT_TRUE(fx->linking_.LinkCrossover(kSlot, 3, 1).followers.empty());
  EXPECT_EQ(fx->sent.size(), 1);
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST_F(LinkingTest, FamilyBEqBandGoesToTheSameBandOfTheOtherMember) {
  auto fx = Start(comm::kType540S, {0, 2});
  FamilyOperations& ops = fx->dispatcher_.For(kSlot);
  // Input 0's own bypass flag of band 5 is its own and survives the copy.
  ASSERT_EQ(ops.SendEqBand(kSlot, 0, 5, {0, 800, 9, 30}, true), EditResult::kDone);
  fx->sent.clear();
  ASSERT_EQ(ops.SendEqBand(kSlot, 2, 5, {2, 3150, 40, 50}, false), EditResult::kDone);
  EXPECT_EQ(fx->linking_.LinkEqBand(kSlot, 2, 5).followers, std::vector<int>{0});
  ASSERT_EQ(fx->sent.size(), 2);
  EXPECT_EQ(Hex(fx->sent[0]), "8D 1F 00 05 02 05 00 02 0C 4E 28 32 F7");
  EXPECT_EQ(Hex(fx->sent[1]), "8D 1F 00 05 00 05 01 02 0C 4E 28 32 F7");
  EXPECT_EQ(fx->data().Read(39, 5), (std::vector<uint8_t>{2, 0x0C, 0x4E, 40, 50}));
  EXPECT_EQ(fx->data().Get16(74), 32);
  EXPECT_EQ(fx->state().band_type[5], 2);
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST_F(LinkingTest, FollowersAreNotifiedSoTheirViewsRefresh) {
  auto fx = Start(comm::kType540S, {4, 5, 6});
  std::vector<std::pair<int, int>> changed;
  QObject::connect(&fx->store_, &ProgramStore::ChannelChanged,
                   [&](int slot, int ch) { changed.emplace_back(slot, ch); });
  ASSERT_EQ(fx->dispatcher_.For(kSlot).SendGain(kSlot, 5, 100), EditResult::kDone);
  EXPECT_EQ(fx->linking_.LinkGain(kSlot, 5).followers, (std::vector<int>{4, 6}));
  EXPECT_EQ(changed, (std::vector<std::pair<int, int>>{{kSlot, 5}, {kSlot, 4}, {kSlot, 6}}));
  std::vector<int> channels;
  for (const QByteArray& packet : fx->sent) channels.push_back(packet[4]);
  EXPECT_EQ(channels, (std::vector<int>{5, 4, 6}));
}

// An edit followed by its link: every follower gets the edited channel's packet with its own
// channel number, once, in increasing order, and the device ends up holding what the PC holds.
struct RepeatCase {
  const char* name;
  int type;
  std::vector<int> members;
  bool inputs_linked;
  int edited;
  std::function<EditResult(FamilyOperations&)> edit;
  std::function<LinkOutcome(ChannelLinking&)> link;
  std::vector<int> followers;
};

TEST_F(LinkingTest, EveryLinkRepeatsTheEditedPacketOncePerFollower) {
  const int kB = comm::kType540S;
  const int kA = comm::kTypeRk540;
  const std::vector<int> all_b = {0, 1, 2, 3, 4, 5, 6};
  const std::vector<int> outs_a = {2, 3, 4};
  const std::vector<RepeatCase> cases = {
      {"B gate",
       kB,
       all_b,
       false,
       1,
       [](auto& o) {
         return o.SendGate(kSlot, 1, {0, 4, 7, 20});
       },
       [](auto& l) { return l.LinkGate(kSlot, 1); },
       {0, 2, 3}},
      {"B compressor bypassed",
       kB,
       all_b,
       false,
       3,
       [](auto& o) {
         return o.SendCompressor(kSlot, 3, {90, 4, 30, 15, 3, 6}, true);
       },
       [](auto& l) { return l.LinkCompressor(kSlot, 3); },
       {0, 1, 2}},
      {"B limiter",
       kB,
       all_b,
       false,
       6,
       [](auto& o) {
         return o.SendLimiter(kSlot, 6, {80, 10, 35}, true);
       },
       [](auto& l) { return l.LinkLimiter(kSlot, 6); },
       {4, 5}},
      {"B low-pass",
       kB,
       all_b,
       false,
       4,
       [](auto& o) { return o.SendCrossover(kSlot, 4, 1, 2500, 6); },
       [](auto& l) { return l.LinkCrossover(kSlot, 4, 1); },
       {5, 6}},
      {"B delay",
       kB,
       all_b,
       false,
       2,
       [](auto& o) { return o.SendDelay(kSlot, 2, 850, 48); },
       [](auto& l) { return l.LinkDelay(kSlot, 2); },
       {0, 1, 3}},
      {"B gain",
       kB,
       all_b,
       false,
       0,
       [](auto& o) { return o.SendGain(kSlot, 0, 0); },
       [](auto& l) { return l.LinkGain(kSlot, 0); },
       {1, 2, 3}},
      {"B polarity",
       kB,
       all_b,
       false,
       5,
       [](auto& o) { return o.SendPolarity(kSlot, 5, true); },
       [](auto& l) { return l.LinkPolarity(kSlot, 5); },
       {4, 6}},
      {"B mute",
       kB,
       all_b,
       false,
       3,
       [](auto& o) { return o.SendMute(kSlot, 3, true); },
       [](auto& l) { return l.LinkMute(kSlot, 3); },
       {0, 1, 2}},
      {"B EQ switch",
       kB,
       all_b,
       false,
       6,
       [](auto& o) { return o.SendEqSwitch(kSlot, 6, true); },
       [](auto& l) { return l.LinkEqSwitch(kSlot, 6); },
       {4, 5}},
      {"B output band",
       kB,
       all_b,
       false,
       5,
       [](auto& o) {
         return o.SendEqBand(kSlot, 5, 4, {4, 15000, 70, 10}, false);
       },
       [](auto& l) { return l.LinkEqBand(kSlot, 5, 4); },
       {4, 6}},
      {"A gate over linked inputs",
       kA,
       outs_a,
       true,
       0,
       [](auto& o) {
         return o.SendGate(kSlot, 0, {0, 6, 12, 28});
       },
       [](auto& l) { return l.LinkGate(kSlot, 0); },
       {1}},
      {"A compressor over linked inputs",
       kA,
       outs_a,
       true,
       1,
       [](auto& o) {
         return o.SendCompressor(kSlot, 1, {0, 30, 100, 29, 29, 24}, false);
       },
       [](auto& l) { return l.LinkCompressor(kSlot, 1); },
       {0}},
      {"A limiter",
       kA,
       outs_a,
       false,
       4,
       [](auto& o) {
         return o.SendLimiter(kSlot, 4, {0, 49, 40}, true);
       },
       [](auto& l) { return l.LinkLimiter(kSlot, 4); },
       {2, 3}},
      {"A delay of outputs",
       kA,
       outs_a,
       false,
       3,
       [](auto& o) { return o.SendDelay(kSlot, 3, 540, 1); },
       [](auto& l) { return l.LinkDelay(kSlot, 3); },
       {2, 4}},
      {"A mute of linked inputs",
       kA,
       {},
       true,
       0,
       [](auto& o) { return o.SendMute(kSlot, 0, true); },
       [](auto& l) { return l.LinkMute(kSlot, 0); },
       {1}},
      {"A input band",
       kA,
       {},
       true,
       1,
       [](auto& o) {
         return o.SendEqBand(kSlot, 1, 11, {3, 20, 0, 60}, false);
       },
       [](auto& l) { return l.LinkEqBand(kSlot, 1, 11); },
       {0}},
      {"A not linked at all",
       kA,
       {},
       false,
       2,
       [](auto& o) { return o.SendGain(kSlot, 2, 1); },
       [](auto& l) { return l.LinkGain(kSlot, 2); },
       {}},
  };
  for (const RepeatCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto fx = Start(c.type, {}, c.inputs_linked);
    for (int m : c.members) fx->dispatcher_.For(kSlot).SendLink(kSlot, m, true);
    fx->sent.clear();
    ASSERT_EQ(c.edit(fx->dispatcher_.For(kSlot)), EditResult::kDone);
    const LinkOutcome outcome = c.link(fx->linking_);
    EXPECT_EQ(outcome.result, EditResult::kDone);
    EXPECT_EQ(outcome.followers, c.followers);
    ASSERT_EQ(fx->sent.size(), static_cast<qsizetype>(1 + c.followers.size()));
    for (size_t i = 0; i < c.followers.size(); ++i) {
      QByteArray expected = fx->sent[0];
      expected[4] = static_cast<char>(c.followers[i]);
      EXPECT_EQ(Hex(fx->sent[static_cast<qsizetype>(i + 1)]), Hex(expected));
    }
    EXPECT_EQ(fx->DeviceDifference(), "");
  }
}

TEST_F(LinkingTest, LinkedCompressorCarriesTheBypassSwitchAndMaskBit) {
  auto fx = Start(comm::kType540S, {1, 3});
  FamilyOperations& ops = fx->dispatcher_.For(kSlot);
  ASSERT_EQ(ops.SendCompressor(kSlot, 1, {75, 8, 20, 5, 9, 2}, true), EditResult::kDone);
  fx->linking_.LinkCompressor(kSlot, 1);
  EXPECT_TRUE(fx->state().dynamics_bypass[3]);
  EXPECT_EQ(fx->data().Get(506), 127 - 2 - 8);
  EXPECT_EQ(fx->data().Read(248, 6), (std::vector<uint8_t>{75, 8, 20, 5, 9, 2}));
  ASSERT_EQ(ops.SendCompressor(kSlot, 1, {75, 8, 20, 5, 9, 2}, false), EditResult::kDone);
  fx->linking_.LinkCompressor(kSlot, 1);
  EXPECT_EQ(fx->data().Get(506), 127);
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST_F(LinkingTest, LinkedSpeakerDriveRebuildsTheDriveByteForEachFollower) {
  auto fx = Start(comm::kType540S, {4, 5, 6});
  ASSERT_EQ(fx->dispatcher_.For(kSlot).SendSpeakerDrive(kSlot, 0, 0), EditResult::kDone);
  EXPECT_EQ(fx->linking_.LinkSpeakerDrive(kSlot, 4).followers, (std::vector<int>{5, 6}));
  std::vector<std::string> sent;
  for (const QByteArray& packet : fx->sent) sent.push_back(Hex(packet));
  EXPECT_EQ(sent, (std::vector<std::string>{"8D 1F 00 19 00 00 00 00 00 00 00 14 F7",
                                            "8D 1F 00 19 00 00 00 00 00 00 00 10 F7",
                                            "8D 1F 00 19 00 00 00 00 00 00 00 00 F7"}));
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST_F(LinkingTest, FlatEqIsCopiedBandByBand) {
  auto fx = Start(comm::kType540S, {4, 6});
  FamilyOperations& ops = fx->dispatcher_.For(kSlot);
  ASSERT_EQ(ops.SendEqBand(kSlot, 6, 2, {0, 1000, 9, 0}, true), EditResult::kDone);
  fx->sent.clear();
  for (int k = 0; k < 5; ++k) {
    ASSERT_EQ(ops.SendEqBand(kSlot, 4, k, {0, 1000, 9, 30}, false), EditResult::kDone);
  }
  const LinkOutcome outcome = fx->linking_.LinkFlatEq(kSlot, 4);
  EXPECT_EQ(outcome.followers, std::vector<int>{6});
  ASSERT_EQ(fx->sent.size(), 10);
  for (int k = 0; k < 5; ++k) {
    const QByteArray& packet = fx->sent[5 + k];
    EXPECT_EQ(packet[3], 5);
    EXPECT_EQ(packet[4], 6);
    EXPECT_EQ(packet[5], k);
    EXPECT_EQ(packet[6], k == 2 ? 1 : 0) << "band " << k << " keeps its own bypass flag";
    EXPECT_EQ(packet.mid(7, 5), fx->sent[k].mid(7, 5));
  }
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST_F(LinkingTest, ParametersOutsideTheChannelsGroupAreRefused) {
  auto fx = Start(comm::kType540S, {0, 1, 2, 3, 4, 5, 6});
  ChannelLinking& l = fx->linking_;
  const std::vector<std::pair<const char*, LinkOutcome>> refused = {
      {"gate of an output", l.LinkGate(kSlot, 4)},
      {"compressor of an output", l.LinkCompressor(kSlot, 5)},
      {"limiter of an input", l.LinkLimiter(kSlot, 0)},
      {"crossover of an input", l.LinkCrossover(kSlot, 3, 0)},
      {"crossover filter 2", l.LinkCrossover(kSlot, 4, 2)},
      {"speaker drive of an input", l.LinkSpeakerDrive(kSlot, 1)},
      {"band 5 of an output", l.LinkEqBand(kSlot, 6, 5)},
      {"gain of channel 7", l.LinkGain(kSlot, 7)},
      {"mute of channel -1", l.LinkMute(kSlot, -1)},
      {"delay of slot 33", l.LinkDelay(33, 0)},
      {"flat EQ of channel 7", l.LinkFlatEq(kSlot, 7)},
  };
  for (const auto& [name, outcome] : refused) {
    EXPECT_EQ(outcome.result, EditResult::kRefused) << name;
    EXPECT_TRUE(outcome.followers.empty()) << name;
  }
  EXPECT_TRUE(fx->sent.isEmpty());
}

}  // namespace
}  // namespace tessaly::protocol
