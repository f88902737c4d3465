#include "protocol/ValueLists.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <span>
#include <vector>

#include "protocol/ScaleGrids.h"
#include "protocol/SlotState.h"
#include "protocol/ValueScale.h"

namespace tessaly::protocol {
namespace {

QStringList TextsOf(ScaleKind kind, bool decimal_comma) {
  const ValueScale& scale = ScaleOf(kind);
  QStringList texts;
  for (int b = 0; b < scale.Count(); ++b) texts << scale.Text(b, decimal_comma);
  return texts;
}

struct ListTexts {
  const char* name;
  ScaleKind kind;
  QStringList texts;
};

// The texts the user sees for each list byte, written out so a changed entry shows up.
const std::vector<ListTexts>& ExpectedListTexts() {
  static const std::vector<ListTexts> lists = {
      {"GateReleaseList",
       ScaleKind::kGateRelease,
       {"10", "25", "50", "100", "200", "300", "400", "500", "600", "700", "800", "900", "1000"}},
      {"GateAttackList",
       ScaleKind::kGateAttack,
       {"1",   "2",   "3",   "4",   "5",   "6",   "7",   "8",   "9",   "10",
        "15",  "20",  "30",  "40",  "50",  "60",  "70",  "80",  "90",  "100",
        "200", "300", "400", "500", "600", "700", "800", "900", "1000"}},
      {"LimReleaseList",
       ScaleKind::kLimRelease,
       {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1.0", "1.1", "1.2", "1.3",
        "1.4", "1.5", "1.6", "1.7", "1.8", "1.9", "2.0", "2.1", "2.2", "2.3", "2.4", "2.5", "2.6",
        "2.7", "2.8", "2.9", "3.0", "3.1", "3.2", "3.3", "3.4", "3.5", "3.6", "3.7", "3.8", "3.9",
        "4.0", "4.1", "4.2", "4.3", "4.4", "4.5", "4.6", "4.7", "4.8", "4.9", "5.0"}},
      {"LimAttackList",
       ScaleKind::kLimAttack,
       {"1",   "2",   "3",   "4",   "5",   "6",   "7",   "8",   "9",   "10",  "11",
        "12",  "13",  "14",  "15",  "16",  "17",  "18",  "19",  "20",  "25",  "30",
        "40",  "50",  "60",  "70",  "80",  "90",  "100", "120", "140", "160", "180",
        "200", "300", "400", "500", "600", "700", "800", "900"}},
      {"CompReleaseList",
       ScaleKind::kCompRelease,
       {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1",
        "1.1", "1.2", "1.3", "1.4", "1.5", "1.6", "1.7", "1.8", "1.9", "2",
        "2.1", "2.2", "2.3", "2.4", "2.5", "2.6", "2.7", "2.8", "2.9", "3"}},
      {"CompAttackList",
       ScaleKind::kCompAttack,
       {"5",  "6",  "7",  "8",  "9",   "10",  "11",  "12",  "13",  "14",
        "15", "16", "17", "18", "19",  "20",  "25",  "30",  "40",  "50",
        "60", "70", "80", "90", "100", "120", "140", "160", "180", "200"}},
      {"BellQTable",
       ScaleKind::kBellQ,
       {"0.4",  "0.42", "0.45", "0.47", "0.5",  "0.53", "0.56", "0.59", "0.63", "0.67", "0.71",
        "0.75", "0.79", "0.84", "0.89", "0.94", "1",    "1.06", "1.12", "1.19", "1.26", "1.3",
        "1.4",  "1.5",  "1.6",  "1.7",  "1.8",  "1.9",  "2",    "2.1",  "2.2",  "2.4",  "2.5",
        "2.7",  "2.8",  "3",    "3.2",  "3.4",  "3.6",  "3.8",  "4",    "4.2",  "4.5",  "4.8",
        "5",    "5.3",  "5.7",  "6",    "6.3",  "6.7",  "7.1",  "7.6",  "8",    "8.5",  "9",
        "9.5",  "10.1", "10.7", "11.3", "12",   "12.7", "13.5", "14",   "15",   "16",   "17",
        "18",   "19",   "20",   "21",   "23",   "24",   "25",   "27",   "29",   "30",   "32",
        "34",   "36",   "38",   "40",   "43",   "45",   "48",   "51",   "54",   "57",   "60",
        "64",   "68",   "72",   "76",   "81",   "85",   "91",   "96",   "102",  "108",  "114",
        "121",  "128"}},
  };
  return lists;
}

TEST(ValueLists, EveryListShowsItsExactTexts) {
  for (const ListTexts& list : ExpectedListTexts()) {
    SCOPED_TRACE(list.name);
    EXPECT_EQ(TextsOf(list.kind, false), list.texts);
  }
}

TEST(ValueLists, CommaLocaleChangesOnlyTheSeparator) {
  for (const ListTexts& list : ExpectedListTexts()) {
    SCOPED_TRACE(list.name);
    QStringList with_comma = list.texts;
    with_comma.replaceInStrings(QStringLiteral("."), QStringLiteral(","));
    EXPECT_EQ(TextsOf(list.kind, true), with_comma);
  }
}

// Snapping walks the steps in order and stops at the first step above the input.
TEST(ValueLists, EveryGridRisesStrictly) {
  const std::vector<std::pair<const char*, std::span<const double>>> grids = {
      {"GateReleaseList", GateReleaseList},
      {"GateAttackList", GateAttackList},
      {"LimReleaseList", LimReleaseList},
      {"LimAttackList", LimAttackList},
      {"CompReleaseList", CompReleaseList},
      {"CompAttackList", CompAttackList},
      {"BellQTable", BellQTable},
      {"kGainGrid", kGainGrid},
      {"kEqGainGrid", kEqGainGrid},
      {"kGateThresholdGrid", kGateThresholdGrid},
      {"kThresholdGrid", kThresholdGrid},
      {"kRatioGrid", kRatioGrid},
      {"kKneeGrid", kKneeGrid},
      {"kMakeupGrid", kMakeupGrid},
      {"kNoiseLevelGrid", kNoiseLevelGrid},
      {"kSendLevelGrid", kSendLevelGrid},
      {"kOtherQGrid", kOtherQGrid},
      {"kNotchQGrid", kNotchQGrid},
  };
  for (const auto& [name, grid] : grids) {
    SCOPED_TRACE(name);
    for (size_t k = 1; k < grid.size(); ++k) EXPECT_LT(grid[k - 1], grid[k]) << "at " << k;
  }
}

// Each named list from its first entry to one past its last (which names nothing).
TEST(ValueLists, NamedListsAndTheirEnds) {
  const auto names = [](QString (*name)(int), int first, int past_last) {
    QStringList texts;
    for (int i = first; i <= past_last; ++i) texts << name(i);
    return texts;
  };
  EXPECT_EQ(names(EqTypeName, -1, 6),
            (QStringList{"", "Bell", "HiShQ", "LoShQ", "HP-Q", "LP-Q", "Notch", ""}));
  EXPECT_EQ(names(XoverSlopeName, 0, 9),
            (QStringList{"Bypass", "- 6 dB/oct BW", "-12dB/oct BW", "-12dB/oct LR", "-12dB/oct BS",
                         "-18dB/oct BW", "-24dB/oct BW", "-24dB/oct LR", "-24dB/oct BS", ""}));
  EXPECT_EQ(names(SpeakerDriveName, 0, 2), (QStringList{"16 Ohm - 100V", "4-8 Ohm - 70V", ""}));
  EXPECT_EQ(names(OutputSourceName, 0, 3), (QStringList{"Input L", "Input R", "Input L+R", ""}));
  EXPECT_EQ(names(DelayUnitName, kDelayUnitTime, 2), (QStringList{" ms", " m", ""}));
  EXPECT_EQ(names(DelayCaption, -1, kDelayUnitMeter),
            (QStringList{"", "Delay [ ms ]", "Delay [ m ]"}));
  EXPECT_EQ(QString::fromLatin1(kProgramEmptyName), "Program Empty   ");
}

TEST(ValueLists, ChannelNamesFollowTheFamily) {
  const QStringList family_a = {"InL", "InR", "Left", "Right", "Sub"};
  const QStringList family_b = {"In1L", "In1R", "In2L", "In2R", "Left", "Right", "Sub"};
  for (int type : {0, 1, 2}) {
    SCOPED_TRACE(type);
    QStringList names;
    for (int c = 0; c < kChannelCountA; ++c) names << ChannelName(type, c);
    EXPECT_EQ(names, family_a);
    EXPECT_EQ(ChannelName(type, kChannelCountA), QString());
  }
  QStringList names;
  for (int c = 0; c < kChannelCountB; ++c) names << ChannelName(3, c);
  EXPECT_EQ(names, family_b);
  EXPECT_EQ(ChannelName(3, kChannelCountB), QString());
  EXPECT_EQ(ChannelName(3, -1), QString());
}

TEST(ValueLists, QClassOfEveryBandType) {
  const std::vector<int> expected = {kQClassBell,  kQClassOther, kQClassOther,
                                     kQClassOther, kQClassOther, kQClassNotch};
  for (int type = 0; type < kEqTypeCount; ++type) {
    EXPECT_EQ(QClassOfType(type), expected[type]) << "type " << type;
  }
}

}  // namespace
}  // namespace tessaly::protocol
