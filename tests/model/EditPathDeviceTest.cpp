#include <gtest/gtest.h>

#include <QSignalSpy>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "device/DeviceTypes.h"
#include "graph/ResponseCurves.h"
#include "model/EditPath.h"
#include "protocol/CommonOperations.h"
#include "protocol/FamilyBSimFixture.h"

namespace tessaly::model {
namespace {

using protocol::EditResult;
using test::ProtocolDeviceFixture;

// A device on loopback with the edit path over the run's store, dispatcher and curves.
struct Rig : ProtocolDeviceFixture {
  explicit Rig(int type) : ProtocolDeviceFixture(type) {}

  EditOutcome Set(const char* id, int ch, int element, const char* text) {
    ParseOptions options;
    options.unit_suffix = true;
    return path.SetText({kSlot, FindParameter(QString::fromLatin1(id))->id, ch, element},
                        QString::fromLatin1(text), options);
  }
  std::vector<uint8_t> Record() {
    const auto r = data().Record();
    return {r.begin(), r.end()};
  }

  graph::ResponseCurves curves{store_};
  EditPath path{store_, curves, dispatcher_};
};

using Bare = std::function<EditResult(Rig&)>;

struct WireCase {
  int type;
  const char* id;
  int ch;
  int element;
  const char* text;
  Bare bare;  // the family operation the edit stands for, with the same value
};

class SamePacket : public testing::TestWithParam<WireCase> {};

TEST_P(SamePacket, AsTheFamilyOperationSends) {
  const WireCase& c = GetParam();
  Rig edited(c.type);
  Rig direct(c.type);
  const EditOutcome out = edited.Set(c.id, c.ch, c.element, c.text);
  ASSERT_EQ(out.status, EditStatus::kDone) << out.reason.toStdString();
  ASSERT_EQ(c.bare(direct), EditResult::kDone);
  ASSERT_FALSE(direct.sent.isEmpty());
  ASSERT_EQ(edited.sent.size(), direct.sent.size());
  for (qsizetype i = 0; i < direct.sent.size(); ++i) {
    EXPECT_EQ(test::Hex(edited.sent[i]), test::Hex(direct.sent[i])) << "packet " << i;
  }
  EXPECT_EQ(edited.DeviceDifference(), "");
}

constexpr int kA = device::kTypeRk540;
constexpr int kB = device::kType540S;
constexpr int kSlot = ProtocolDeviceFixture::kSlot;

const WireCase kWire[] = {
    {kA, "gain", 2, -1, "-6,5",
     [](Rig& r) { return r.dispatcher_.For(kSlot).SendGain(kSlot, 2, 107); }},
    {kA, "delay", 0, -1, "12.5ms",
     [](Rig& r) { return r.dispatcher_.For(kSlot).SendDelay(kSlot, 0, 12, 24); }},
    {kB, "mute", 5, -1, "on",
     [](Rig& r) { return r.dispatcher_.For(kSlot).SendMute(kSlot, 5, true); }},
    {kA, "comp.threshold", 1, -1, "-17.9",
     [](Rig& r) {
       auto v = *protocol::ReadCompressor(r.data(), 1);
       v.threshold = 0;
       return r.dispatcher_.For(kSlot).SendCompressor(kSlot, 1, v, r.state().dynamics_bypass[1]);
     }},
    {kB, "lim.release", 4, -1, "1",
     [](Rig& r) {
       auto v = *protocol::ReadLimiter(r.data(), 4);
       v.release = 9;
       return r.dispatcher_.For(kSlot).SendLimiter(kSlot, 4, v, r.state().dynamics_bypass[4]);
     }},
    {kA, "gate.attack", 0, -1, "5ms",
     [](Rig& r) {
       auto v = *protocol::ReadGate(r.data(), 0);
       v.attack = 4;
       return r.dispatcher_.For(kSlot).SendGate(kSlot, 0, v);
     }},
    {kA, "eq.N.gain", 3, 2, "+3",
     [](Rig& r) {
       auto v = *protocol::ReadEqBand(r.data(), 3, 2);
       v.gain = 36;
       return r.dispatcher_.For(kSlot).SendEqBand(
           kSlot, 3, 2, v, r.state().band_bypass[*r.data().layout().GlobalBand(3, 2)]);
     }},
    {kB, "eq.N.type", 0, 0, "Notch",
     [](Rig& r) {
       auto v = *protocol::ReadEqBand(r.data(), 0, 0);
       v.type = 5;
       v.gain = 30;
       return r.dispatcher_.For(kSlot).SendEqBand(kSlot, 0, 0, v, false);
     }},
    {kA, "hp.slope", 4, -1, "-24dB/oct LR",
     [](Rig& r) {
       const auto x = *protocol::ReadCrossover(r.data(), 4, 0);
       return r.dispatcher_.For(kSlot).SendCrossover(kSlot, 4, 0, x.frequency, 7);
     }},
    {kA, "drive", 3, -1, "100V",
     [](Rig& r) { return r.dispatcher_.For(kSlot).SendSpeakerDrive(kSlot, 1, 0); }},
    {kA, "source", 2, -1, "L+R",
     [](Rig& r) { return r.dispatcher_.For(kSlot).SendOutputSource(kSlot, 2, 2); }},
    {kB, "mix.IN.level", 6, 1, "-6",
     [](Rig& r) {
       const auto s = *protocol::ReadMixerSend(r.data(), 6, 1);
       return r.dispatcher_.For(kSlot).SendOutputMixer(kSlot, 6, 1, protocol::SendEnabled(s), 24);
     }},
    {kB, "route.N.on", 2, 0, "on",
     [](Rig& r) {
       const auto s = *protocol::ReadRouting(r.data(), 2, 0);
       return r.dispatcher_.For(kSlot).SendInputRouting(kSlot, 2, 0, true, protocol::SendLevel(s));
     }},
    {kA, "noise.level", -1, -1, "-12",
     [](Rig& r) {
       return r.dispatcher_.For(kSlot).SendNoiseGenerator(kSlot, r.state().noise_type, 28);
     }},
    {kA, "lineout", -1, -1, "on",
     [](Rig& r) { return r.dispatcher_.For(kSlot).SendLineOut(kSlot, true); }},
    {kB, "noise.enable", -1, -1, "on",
     [](Rig& r) { return r.family_b_.SendNoiseEnable(kSlot, true); }},
    {kB, "trigger.input", -1, -1, "on",
     [](Rig& r) { return r.family_b_.SendInputTrigger(kSlot, true); }},
    {kB, "trigger.standby", -1, -1, "on",
     [](Rig& r) { return r.family_b_.SendStandbyMirroring(kSlot, true); }},
};
INSTANTIATE_TEST_SUITE_P(Kinds, SamePacket, testing::ValuesIn(kWire));

TEST(EditPathCurves, LinkedEqGainGivesTheFollowerTheLeadersCurve) {
  Rig rig(kB);
  rig.state().link_member[4] = 1;
  rig.state().link_member[5] = 1;
  QSignalSpy changed(&rig.path, &EditPath::parameterChanged);
  const EditOutcome out = rig.Set("eq.N.gain", 4, 1, "+9");
  ASSERT_EQ(out.status, EditStatus::kDone);
  ASSERT_EQ(out.followers, std::vector<int>{5});
  ASSERT_EQ(changed.size(), 2);
  EXPECT_EQ(changed[1][1].toInt(), 5);
  EXPECT_EQ(changed[1][2].value<ParamId>(), ParamId::kEqGain);
  EXPECT_EQ(changed[1][3].toInt(), 1);
  double peak = 0;
  for (int point = 0; point < graph::kGraphPoints; ++point) {
    const double leader = *rig.curves.ChannelValue(kSlot, 4, point);
    EXPECT_DOUBLE_EQ(*rig.curves.ChannelValue(kSlot, 5, point), leader) << "point " << point;
    peak = std::max(peak, leader);
  }
  EXPECT_GT(peak, 8.0);
}

struct RefusalCase {
  int type;
  const char* id;
  int ch;
  int element;
  const char* text;
  EditStatus status;
  const char* reason_words;
};

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, TouchesNothing) {
  const RefusalCase& c = GetParam();
  Rig rig(c.type);
  const auto record = rig.Record();
  const protocol::SlotState state = rig.state();
  const int received = rig.device().ReceivedCount();
  const EditOutcome out = rig.Set(c.id, c.ch, c.element, c.text);
  EXPECT_EQ(out.status, c.status);
  EXPECT_TRUE(out.reason.contains(QString::fromLatin1(c.reason_words))) << out.reason.toStdString();
  EXPECT_EQ(rig.Record(), record);
  EXPECT_EQ(std::memcmp(&state, &rig.state(), sizeof state), 0);
  EXPECT_EQ(rig.device().ReceivedCount(), received);
  EXPECT_FALSE(rig.path.Undo(kSlot).CanUndo());
}

const RefusalCase kRefusals[] = {
    {kA, "eq.N.gain", 2, 5, "3", EditStatus::kRefused, "bands 1 to 5"},
    {kA, "gain", 0, -1, "", EditStatus::kRefused, "-60 to +12"},
    {kA, "gain", 0, -1, "loud", EditStatus::kRefused, "-60 to +12"},
    {kA, "gain", 7, -1, "0", EditStatus::kRefused, "channels 0 to 4"},
    {kA, "lim.threshold", 0, -1, "0", EditStatus::kRefused, "output channels 2 to 4"},
    {kB, "source", 4, -1, "L", EditStatus::kNotSupported, "source"},
    {kA, "mix.IN.on", 2, 0, "on", EditStatus::kNotSupported, "mix.IN.on"},
    {kB, "route.N.level", 1, 4, "-6", EditStatus::kRefused, "1 to 4"},
};
INSTANTIATE_TEST_SUITE_P(Targets, Refusal, testing::ValuesIn(kRefusals));

TEST(EditPathUndo, RandomEditsAndUndosKeepDeviceAndPcInStep) {
  for (const int type : {kA, kB}) {
    Rig rig(type);
    ASSERT_EQ(rig.DeviceDifference(), "");
    const auto start = rig.Record();
    const protocol::Layout& layout = rig.data().layout();
    const char* ids[] = {"gain",        "mute",      "polarity",  "comp.ratio",  "gate.threshold",
                         "lim.attack",  "eq.N.gain", "eq.N.type", "eq.N.q",      "eq.N.bypass",
                         "hp.freq",     "lp.slope",  "drive",     "noise.level", "eq.bypass",
                         "comp.bypass", "delay",     "eq.flat"};
    std::mt19937 rng(20261207u + static_cast<unsigned>(type));
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    UndoStack& undo = rig.path.Undo(kSlot);
    for (int step = 0; step < 80; ++step) {
      const int what = pick(0, 9);
      if (what == 0 && undo.CanUndo()) {
        ASSERT_EQ(undo.UndoLast().status, EditStatus::kDone);
      } else if (what == 1 && undo.CanRedo()) {
        ASSERT_EQ(undo.RedoLast().status, EditStatus::kDone);
      } else {
        const ParameterDescriptor* p = FindParameter(QString::fromLatin1(ids[pick(0, 17)]));
        int ch = pick(0, layout.channel_count - 1);
        if (p->scope == Scope::kInput) ch = pick(0, layout.input_count - 1);
        if (p->scope != Scope::kAnyChannel && p->scope != Scope::kBand &&
            p->scope != Scope::kInput) {
          ch = pick(layout.first_output, layout.channel_count - 1);
        }
        const int element = p->scope == Scope::kBand ? pick(0, layout.BandCount(ch) - 1) : -1;
        const EditOutcome out =
            p->kind == ValueKind::kDelay
                ? rig.path.SetText({kSlot, p->id, ch, element}, QString::number(pick(0, 50)))
                : rig.path.SetIndex({kSlot, p->id, ch, element}, pick(p->minimum, p->maximum));
        ASSERT_EQ(out.status, EditStatus::kDone)
            << p->name.toStdString() << out.reason.toStdString();
      }
      ASSERT_EQ(rig.DeviceDifference(), "") << "type " << type << " step " << step;
    }
    while (undo.CanUndo()) ASSERT_EQ(undo.UndoLast().status, EditStatus::kDone);
    EXPECT_EQ(rig.Record(), start) << "type " << type;
    EXPECT_EQ(rig.DeviceDifference(), "") << "type " << type;
  }
}

TEST(EditPathUndo, GestureIsOneEntryAndAFailedUndoStaysPut) {
  Rig rig(kA);
  const auto start = rig.Record();
  const ParamId gain = ParamId::kGain;
  rig.path.BeginGesture(kSlot, QStringLiteral("Gain Left drag"));
  for (const int index : {100, 90, 80}) {
    ASSERT_EQ(rig.path.SetIndex({kSlot, gain, 2}, index).status, EditStatus::kDone);
  }
  rig.path.EndGesture(kSlot);
  ASSERT_EQ(rig.Set("gain", 2, -1, "-6").status, EditStatus::kDone);
  UndoStack& undo = rig.path.Undo(kSlot);
  ASSERT_EQ(undo.Count(), 2u);
  EXPECT_EQ(undo.UndoText(), QStringLiteral("Gain Left -6 dB"));

  ASSERT_EQ(undo.UndoLast().status, EditStatus::kDone);
  EXPECT_EQ(undo.UndoText(), QStringLiteral("Gain Left drag"));
  ASSERT_EQ(undo.UndoLast().status, EditStatus::kDone);
  EXPECT_EQ(rig.Record(), start);
  EXPECT_EQ(rig.DeviceDifference(), "");
  ASSERT_EQ(undo.RedoLast().status, EditStatus::kDone);
  EXPECT_EQ(rig.path.Index({kSlot, gain, 2}), 80);
  ASSERT_EQ(undo.RedoLast().status, EditStatus::kDone);
  EXPECT_EQ(rig.DeviceDifference(), "");

  const auto before_failure = rig.Record();
  rig.device().SetSilent(true);
  const EditOutcome failed = undo.UndoLast();
  EXPECT_EQ(failed.status, EditStatus::kSendFailed);
  EXPECT_FALSE(failed.reason.isEmpty());
  EXPECT_EQ(undo.UndoText(), QStringLiteral("Gain Left -6 dB"));
  EXPECT_EQ(rig.Record(), before_failure);

  QSignalSpy replaced(&rig.path, &EditPath::programReplaced);
  rig.store_.NotifyProgramChanged(kSlot);
  EXPECT_EQ(replaced.size(), 1);
  EXPECT_FALSE(undo.CanUndo());
  EXPECT_FALSE(undo.CanRedo());
}

// Undo and redo of an edit that moved linked channels move all of them back and forth, in the
// device's memory too. The gain bytes sit at the channels' gain offsets of the image.
struct LinkedCase {
  int type;
  std::vector<int> members;
  int leader;
  std::vector<int> gain_offsets;  // of the members, in order
};

TEST(EditPathUndo, LinkedEditUndoesAndRedoesOnEveryMember) {
  const LinkedCase cases[] = {
      {kA, {2, 3, 4}, 3, {161, 209, 257}},
      {kB, {0, 2}, 2, {4, 164}},
  };
  for (const LinkedCase& c : cases) {
    SCOPED_TRACE(c.type);
    Rig rig(c.type);
    for (const int member : c.members) rig.state().link_member[member] = 1;
    const QByteArray start = rig.device().Image();
    const auto gains = [&] {
      std::vector<int> bytes;
      for (const int offset : c.gain_offsets)
        bytes.push_back(uint8_t(rig.device().Image()[offset]));
      return bytes;
    };
    const std::vector<int> moved(c.members.size(), 108);  // -6 dB
    ASSERT_NE(gains(), moved);
    const EditOutcome out = rig.Set("gain", c.leader, -1, "-6");
    ASSERT_EQ(out.status, EditStatus::kDone);
    EXPECT_EQ(out.followers.size(), c.members.size() - 1);
    EXPECT_EQ(gains(), moved);
    UndoStack& undo = rig.path.Undo(kSlot);
    ASSERT_EQ(undo.Count(), 1u);
    ASSERT_EQ(undo.UndoLast().status, EditStatus::kDone);
    EXPECT_EQ(rig.device().Image(), start);
    ASSERT_EQ(undo.RedoLast().status, EditStatus::kDone);
    EXPECT_EQ(gains(), moved);
    EXPECT_EQ(rig.DeviceDifference(), "");
  }
}

// A drag over the noise level, which lives in the slot state rather than the record: undo goes
// back to where the drag began and redo to where it ended.
TEST(EditPathUndo, GestureOverTheSlotStateUndoesToItsStartAndRedoesToItsEnd) {
  Rig rig(kA);
  const ParameterDescriptor* noise = FindParameter(QStringLiteral("noise.level"));
  const EditTarget target{kSlot, noise->id, -1, -1};
  const std::optional<int> start = rig.path.Index(target);
  rig.path.BeginGesture(kSlot, QStringLiteral("Noise drag"));
  for (const int step : {10, 20, 30}) {
    ASSERT_EQ(rig.path.SetIndex(target, noise->minimum + step).status, EditStatus::kDone);
  }
  rig.path.EndGesture(kSlot);
  UndoStack& undo = rig.path.Undo(kSlot);
  ASSERT_EQ(undo.UndoLast().status, EditStatus::kDone);
  EXPECT_EQ(rig.path.Index(target), start);
  ASSERT_EQ(undo.RedoLast().status, EditStatus::kDone);
  EXPECT_EQ(rig.path.Index(target), noise->minimum + 30);
  EXPECT_EQ(rig.DeviceDifference(), "");
}

// Alternating -1 and -2 dB: with every step kept, undoing all would end at 0 dB.
TEST(EditPathUndo, HistoryKeepsTheLatestStepsOnly) {
  Rig rig(kA);
  const int edits = static_cast<int>(kUndoLimit) + 5;
  for (int i = 1; i <= edits; ++i) {
    ASSERT_EQ(rig.Set("gain", 0, -1, i % 2 == 1 ? "-1" : "-2").status, EditStatus::kDone);
  }
  UndoStack& undo = rig.path.Undo(kSlot);
  EXPECT_EQ(undo.Count(), kUndoLimit);
  while (undo.CanUndo()) ASSERT_EQ(undo.UndoLast().status, EditStatus::kDone);
  EXPECT_EQ(rig.path.Shown({kSlot, ParamId::kGain, 0, -1}), QStringLiteral("-1 dB"));
  EXPECT_EQ(rig.DeviceDifference(), "");
}

TEST(EditPathUndo, UndoOfEqFlatBringsTheBandBack) {
  Rig rig(kB);
  ASSERT_EQ(rig.Set("eq.N.gain", 4, 1, "+6").status, EditStatus::kDone);
  ASSERT_EQ(rig.Set("eq.flat", 4, -1, "yes").status, EditStatus::kDone);
  ASSERT_EQ(rig.path.Undo(kSlot).UndoLast().status, EditStatus::kDone);
  EXPECT_EQ(rig.path.Shown({kSlot, ParamId::kEqGain, 4, 1}), QStringLiteral("6 dB"));
  EXPECT_EQ(rig.DeviceDifference(), "");
}

TEST(EditPathHeld, TransferLockWritesTheRecordAndSendsNothing) {
  Rig rig(kA);
  const int received = rig.device().ReceivedCount();
  std::optional<comm::TransferLock> lock(std::in_place, rig.comm_);
  const EditOutcome out = rig.Set("gain", 0, -1, "-6");
  lock.reset();
  EXPECT_EQ(out.status, EditStatus::kHeld);
  EXPECT_EQ(rig.path.Index({kSlot, ParamId::kGain, 0}), 108);
  EXPECT_EQ(rig.device().ReceivedCount(), received);
}

// Only an edit meant for the device that it did not get is pending; an acknowledged edit of the
// same parameter later clears the mark.
TEST(EditPathPending, MarksWhatTheDeviceDidNotGet) {
  qputenv("TESSALY_TIME_SCALE", "0.05");  // CTest runs each case in a process of its own
  struct Case {
    const char* name;
    std::function<void(Rig&)> before;
    bool locked;
    int pending;
  };
  const auto offline = [](Rig& r) { r.comm_.table()[kSlot].online = false; };
  const Case cases[] = {
      {"answered", [](Rig&) {}, false, 0},
      {"reply lost", [](Rig& r) { r.device().SetSilent(true); }, false, 1},
      {"device off-line", offline, false, 1},
      {"off-line under the transfer lock", offline, true, 0},
      {"demonstration slot",
       [offline](Rig& r) {
         offline(r);
         r.comm_.SuspendTraffic(true);
       },
       false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig(kA);
    QSignalSpy changed(&rig.path, &EditPath::pendingChanged);
    c.before(rig);
    std::optional<comm::TransferLock> lock;
    if (c.locked) lock.emplace(rig.comm_);
    (void)rig.Set("noise.level", -1, -1, "-6");
    lock.reset();
    EXPECT_EQ(rig.path.Pending(kSlot).Count(), c.pending);
    EXPECT_EQ(rig.path.Pending(kSlot).Contains({ParamId::kNoiseLevel, -1, -1}), c.pending == 1);
    EXPECT_EQ(changed.count(), c.pending);
    if (c.pending == 0 || rig.device().Faults().silent) continue;
    rig.comm_.table()[kSlot].online = true;
    ASSERT_EQ(rig.Set("noise.level", -1, -1, "-5").status, EditStatus::kDone);
    EXPECT_EQ(rig.path.Pending(kSlot).Count(), 0);
  }
}

}  // namespace
}  // namespace tessaly::model
