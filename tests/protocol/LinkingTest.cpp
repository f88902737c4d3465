#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FamilyBSimFixture.h"
#include "device/DeviceTypes.h"

namespace tessaly::protocol {
namespace {

using test::Band;
using test::Comp;
using test::Gate;
using test::Hex;
using test::Lim;
using test::ProtocolDeviceFixture;

constexpr int kSlot = ProtocolDeviceFixture::kSlot;
constexpr int kA = device::kTypeRk540;
constexpr int kB = device::kType540S;

SlotState Members(std::initializer_list<int> channels, bool inputs_linked = false) {
  SlotState state;
  state.input_link_on = inputs_linked ? 1 : 0;
  for (int c : channels) state.link_member[static_cast<size_t>(c)] = 1;
  return state;
}

TEST(LinkFollowers, GroupsOrderAndMembership) {
  struct Case {
    Family family;
    SlotState state;
    int edited;
    std::vector<int> followers;
  };
  const Family a = Family::kA;
  const Family b = Family::kB;
  const std::vector<Case> cases = {
      {a, Members({}, true), 1, {0}},       {a, Members({}, true), 0, {1}},
      {a, Members({0, 1}), 0, {}},          {a, Members({}, true), 2, {}},
      {a, Members({2, 4}), 2, {4}},         {a, Members({2, 4}), 4, {2}},
      {a, Members({2, 4}), 3, {}},          {a, Members({2, 3, 4}), 3, {2, 4}},
      {a, Members({2, 3, 4}, true), 5, {}}, {b, Members({0, 2}), 2, {0}},
      {b, Members({0, 2}), 1, {}},          {b, Members({0, 1, 2, 3}), 1, {0, 2, 3}},
      {b, Members({3, 4}), 3, {}},          {b, Members({3, 4}), 4, {}},
      {b, Members({4, 5, 6}), 5, {4, 6}},   {b, Members({1}, true), 0, {}},
      {b, Members({4, 5, 6}), 7, {}},       {b, Members({0, 1}), -1, {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(LinkFollowers(c.family, c.state, c.edited), c.followers) << "case " << i;
  }
}

TEST(LinkByte, FormulasOfBothFamiliesAndTheWayBack) {
  EXPECT_EQ(LinkByte(Family::kA, Members({3, 4}, true)), 25);
  EXPECT_EQ(LinkByte(Family::kA, Members({2})), 4);
  EXPECT_EQ(LinkByte(Family::kB, Members({0, 2, 6})), 69);
  EXPECT_EQ(LinkByte(Family::kB, Members({0, 1, 2, 3, 4, 5, 6})), 127);
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

std::unique_ptr<ProtocolDeviceFixture> Start(int type, const std::vector<int>& members,
                                             bool inputs_linked = false) {
  auto fx = std::make_unique<ProtocolDeviceFixture>(type);
  if (inputs_linked) {
    EXPECT_EQ(fx->ops().SendLink(kSlot, 0, true), EditResult::kDone);
  }
  for (int c : members) EXPECT_EQ(fx->ops().SendLink(kSlot, c, true), EditResult::kDone);
  fx->sent.clear();
  return fx;
}

// One fixed edit of a parameter on channel `ch` (band 11 of an input, 4 of an output), and the
// editor's linking step for it.
struct Param {
  std::function<EditResult(FamilyOperations&, int ch, int band)> edit;
  std::function<LinkOutcome(ChannelLinking&, int ch, int band)> link;
};
using F = FamilyOperations;
using L = ChannelLinking;
const Param kGate{[](F& o, int c, int) { return o.SendGate(kSlot, c, Gate(0, 4, 7, 20)); },
                  [](L& l, int c, int) { return l.LinkGate(kSlot, c); }};
const Param kComp{
    [](F& o, int c, int) { return o.SendCompressor(kSlot, c, Comp(90, 4, 30, 15, 3, 6), true); },
    [](L& l, int c, int) { return l.LinkCompressor(kSlot, c); }};
const Param kLim{[](F& o, int c, int) { return o.SendLimiter(kSlot, c, Lim(80, 10, 35), true); },
                 [](L& l, int c, int) { return l.LinkLimiter(kSlot, c); }};
const Param kLowPass{[](F& o, int c, int) { return o.SendCrossover(kSlot, c, 1, 2500, 6); },
                     [](L& l, int c, int) { return l.LinkCrossover(kSlot, c, 1); }};
const Param kDelay{[](F& o, int c, int) { return o.SendDelay(kSlot, c, 500, 48); },
                   [](L& l, int c, int) { return l.LinkDelay(kSlot, c); }};
const Param kGain{[](F& o, int c, int) { return o.SendGain(kSlot, c, 1); },
                  [](L& l, int c, int) { return l.LinkGain(kSlot, c); }};
const Param kPolarity{[](F& o, int c, int) { return o.SendPolarity(kSlot, c, true); },
                      [](L& l, int c, int) { return l.LinkPolarity(kSlot, c); }};
const Param kMute{[](F& o, int c, int) { return o.SendMute(kSlot, c, true); },
                  [](L& l, int c, int) { return l.LinkMute(kSlot, c); }};
const Param kEqSwitch{[](F& o, int c, int) { return o.SendEqSwitch(kSlot, c, true); },
                      [](L& l, int c, int) { return l.LinkEqSwitch(kSlot, c); }};
const Param kBand{
    [](F& o, int c, int k) { return o.SendEqBand(kSlot, c, k, Band(4, 15000, 70, 10), false); },
    [](L& l, int c, int k) { return l.LinkEqBand(kSlot, c, k); }};

// An edit followed by its link: every follower gets the edited channel's packet with its own
// channel number, once, in increasing order, and the device ends up holding what the PC holds.
TEST(Linking, EveryLinkRepeatsTheEditedPacketOncePerFollower) {
  struct Case {
    int type;
    std::vector<int> members;
    bool inputs_linked;
    const Param& param;
    int edited;
    std::vector<int> followers;
  };
  const std::vector<int> all_b = {0, 1, 2, 3, 4, 5, 6};
  const std::vector<int> outs_a = {2, 3, 4};
  const std::vector<Case> cases = {
      {kB, all_b, false, kGate, 1, {0, 2, 3}},
      {kB, all_b, false, kComp, 3, {0, 1, 2}},
      {kB, all_b, false, kLim, 6, {4, 5}},
      {kB, all_b, false, kLowPass, 4, {5, 6}},
      {kB, all_b, false, kDelay, 2, {0, 1, 3}},
      {kB, all_b, false, kGain, 0, {1, 2, 3}},
      {kB, all_b, false, kPolarity, 5, {4, 6}},
      {kB, all_b, false, kMute, 3, {0, 1, 2}},
      {kB, all_b, false, kEqSwitch, 6, {4, 5}},
      {kB, all_b, false, kBand, 5, {4, 6}},
      {kA, outs_a, true, kGate, 0, {1}},
      {kA, outs_a, true, kComp, 1, {0}},
      {kA, outs_a, false, kLim, 4, {2, 3}},
      {kA, outs_a, false, kDelay, 3, {2, 4}},
      {kA, {}, true, kMute, 0, {1}},
      {kA, {}, true, kBand, 1, {0}},
      {kA, {}, false, kGain, 2, {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE("case " + std::to_string(i));
    auto fx = Start(c.type, c.members, c.inputs_linked);
    const int band = c.edited < fx->data().layout().first_output ? 11 : 4;
    ASSERT_EQ(c.param.edit(fx->ops(), c.edited, band), EditResult::kDone);
    const LinkOutcome outcome = c.param.link(fx->linking_, c.edited, band);
    EXPECT_EQ(outcome.result, EditResult::kDone);
    EXPECT_EQ(outcome.followers, c.followers);
    ASSERT_EQ(fx->sent.size(), static_cast<qsizetype>(1 + c.followers.size()));
    for (size_t f = 0; f < c.followers.size(); ++f) {
      QByteArray expected = fx->sent[0];
      expected[4] = static_cast<char>(c.followers[f]);
      EXPECT_EQ(Hex(fx->sent[static_cast<qsizetype>(f + 1)]), Hex(expected));
    }
    EXPECT_EQ(fx->DeviceDifference(), "");
  }
}

TEST(Linking, FamilyBEqBandGoesToTheSameBandOfTheOtherMember) {
  auto fx = Start(kB, {0, 2});
  // Input 0's own bypass flag of band 5 is its own and survives the copy.
  ASSERT_EQ(fx->ops().SendEqBand(kSlot, 0, 5, Band(0, 800, 9, 30), true), EditResult::kDone);
  fx->sent.clear();
  ASSERT_EQ(fx->ops().SendEqBand(kSlot, 2, 5, Band(2, 3150, 40, 50), false), EditResult::kDone);
  EXPECT_EQ(fx->linking_.LinkEqBand(kSlot, 2, 5).followers, std::vector<int>{0});
  EXPECT_EQ(fx->SentHex(), (std::vector<std::string>{"8D 1F 00 05 02 05 00 02 0C 4E 28 32 F7",
                                                     "8D 1F 00 05 00 05 01 02 0C 4E 28 32 F7"}));
  EXPECT_EQ(fx->data().Read(39, 5), (std::vector<uint8_t>{2, 0x0C, 0x4E, 40, 50}));
  EXPECT_EQ(fx->state().band_type[5], 2);
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST(Linking, FollowersAreNotifiedAndTakeTheBypassAndCrossoverState) {
  auto fx = Start(kB, {1, 3, 4, 5, 6});
  std::vector<std::pair<int, int>> changed;
  QObject::connect(&fx->store_, &ProgramStore::channelChanged,
                   [&](int slot, int ch) { changed.emplace_back(slot, ch); });
  ASSERT_EQ(fx->ops().SendGain(kSlot, 5, 100), EditResult::kDone);
  EXPECT_EQ(fx->linking_.LinkGain(kSlot, 5).followers, (std::vector<int>{4, 6}));
  EXPECT_EQ(changed, (std::vector<std::pair<int, int>>{{kSlot, 5}, {kSlot, 4}, {kSlot, 6}}));
  ASSERT_EQ(fx->ops().SendCompressor(kSlot, 1, Comp(75, 8, 20, 5, 9, 2), true), EditResult::kDone);
  fx->linking_.LinkCompressor(kSlot, 1);
  EXPECT_TRUE(fx->state().dynamics_bypass[3]);
  EXPECT_EQ(fx->data().Get(506), 127 - 2 - 8);
  ASSERT_EQ(fx->ops().SendCrossover(kSlot, 4, 0, 120, 7), EditResult::kDone);
  fx->linking_.LinkCrossover(kSlot, 4, 0);
  EXPECT_EQ(fx->state().crossover[4].frequency, 120);
  EXPECT_EQ(fx->state().crossover[4].slope, 7);
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST(Linking, LinkedSpeakerDriveRebuildsTheDriveByteForEachFollower) {
  auto fx = Start(kB, {4, 5, 6});
  ASSERT_EQ(fx->ops().SendSpeakerDrive(kSlot, 0, 0), EditResult::kDone);
  EXPECT_EQ(fx->linking_.LinkSpeakerDrive(kSlot, 4).followers, (std::vector<int>{5, 6}));
  EXPECT_EQ(fx->SentHex(), (std::vector<std::string>{"8D 1F 00 19 00 00 00 00 00 00 00 14 F7",
                                                     "8D 1F 00 19 00 00 00 00 00 00 00 10 F7",
                                                     "8D 1F 00 19 00 00 00 00 00 00 00 00 F7"}));
  EXPECT_EQ(fx->DeviceDifference(), "");
}

TEST(Linking, ParametersOutsideTheChannelsGroupAreRefused) {
  auto fx = Start(kB, {0, 1, 2, 3, 4, 5, 6});
  ChannelLinking& l = fx->linking_;
  const std::vector<LinkOutcome> refused = {
      l.LinkGate(kSlot, 4),         l.LinkCompressor(kSlot, 5),   l.LinkLimiter(kSlot, 0),
      l.LinkCrossover(kSlot, 3, 0), l.LinkCrossover(kSlot, 4, 2), l.LinkSpeakerDrive(kSlot, 1),
      l.LinkEqBand(kSlot, 6, 5),    l.LinkGain(kSlot, 7),         l.LinkMute(kSlot, -1),
      l.LinkDelay(33, 0),           l.LinkFlatEq(kSlot, 7),
  };
  for (size_t i = 0; i < refused.size(); ++i) {
    EXPECT_EQ(refused[i].result, EditResult::kRefused) << "call " << i;
    EXPECT_TRUE(refused[i].followers.empty()) << "call " << i;
  }
  EXPECT_TRUE(fx->sent.isEmpty());
}

}  // namespace
}  // namespace tessaly::protocol
