#include "model/EqFilterText.h"

#include <gtest/gtest.h>

#include <random>

#include "graph/TextFile.h"
#include "model/EqImport.h"
#include "protocol/CommonOperations.h"
#include "protocol/ProgramData.h"
#include "protocol/SlotState.h"

namespace tessaly::model {
namespace {

using protocol::EqBandValues;

FilterList Load(const char* name) {
  const auto text = graph::ReadTextFile(QStringLiteral(TESSALY_TEST_DATA "/") + name, nullptr);
  EXPECT_TRUE(text.has_value()) << name;
  const FilterListOrFault read = ParseFilterText(text.value_or(QString()));
  EXPECT_TRUE(read.list) << read.fault.Sentence().toStdString();
  return read.list.value_or(FilterList{});
}

std::vector<int> Lines(const std::vector<SkippedLine>& lines) {
  std::vector<int> out;
  for (const SkippedLine& s : lines) out.push_back(s.line);
  return out;
}

struct Device {
  protocol::ProgramData data{protocol::Family::kA};
  protocol::SlotState state;

  void Put(int ch, int band, EqBandValues v, bool bypassed = false) {
    ASSERT_TRUE(protocol::StageEqBand(data, ch, band, v));
    state.band_bypass[static_cast<size_t>(*data.layout().GlobalBand(ch, band))] = bypassed;
  }
  ImportPlan Plan(const FilterList& list, int ch) {
    const auto plan = PlanImport(list, data, state, ch);
    EXPECT_TRUE(plan.has_value());
    return plan.value_or(ImportPlan{});
  }
};

EqBandValues Band(int type, int hz, int q, int gain) {
  return {static_cast<uint8_t>(type), static_cast<uint16_t>(hz), static_cast<uint8_t>(q),
          static_cast<uint8_t>(gain)};
}

bool operator==(const EqBandValues& a, const EqBandValues& b) {
  return a.type == b.type && a.frequency == b.frequency && a.q == b.q && a.gain == b.gain;
}

TEST(EqFilterTextTest, ApoFiltersMapSnapAndNameWhatTheyCannotTake) {
  Device device;
  device.Put(0, 3, Band(3, 50, 10, 40));    // already a high pass: its hidden gain stays
  device.Put(0, 4, Band(0, 1000, 16, 50));  // a bell turned low pass: its gain goes to 0 dB
  device.Put(0, 7, Band(2, 1000, 16, 50));
  device.Put(0, 8, Band(1, 5000, 20, 46), true);
  const ImportPlan plan = device.Plan(Load("apo-config.txt"), 0);
  ASSERT_EQ(plan.bands.size(), 12u);
  // type, Hz, Q byte, gain byte: the Q from its full value (0.1299 -> 0.15, not 0.12 -> 0.10).
  const EqBandValues expected[] = {
      Band(0, 100, 28, 23),  Band(2, 80, 1, 38),    Band(1, 8000, 12, 25),
      Band(3, 35, 12, 40),   Band(4, 20000, 8, 30), Band(5, 3150, 26, 30),
      Band(0, 2000, 22, 60), Band(0, 1000, 16, 30), Band(0, 5000, 20, 30)};
  for (size_t i = 0; i < std::size(expected); ++i) {
    const ImportBand& b = plan.bands[i];
    EXPECT_TRUE(b.held == expected[i])
        << "band " << i + 1 << ": " << DescribeBand(b.held).toStdString();
    EXPECT_EQ(b.asked.has_value(), i < 7) << "band " << i + 1;
  }
  EXPECT_FALSE(plan.bands[0].bypassed_after);
  EXPECT_TRUE(plan.bands[8].bypassed_after);  // a band left over keeps its bypass
  EXPECT_EQ(plan.bands[2].changes, QStringList{"no Q given: takes 0.71"});
  EXPECT_EQ(plan.bands[4].changes, QStringList{"25000 Hz is out of range: 20000 Hz"});
  EXPECT_EQ(plan.bands[6].changes, QStringList{"gain +18.0 dB is out of range: +15.0 dB"});
  EXPECT_EQ(Lines(plan.refused), (std::vector<int>{2, 3, 6, 8}));
  EXPECT_EQ(plan.refused[0].reason, "a preamp is not applied");
  EXPECT_EQ(plan.refused[2].reason, "switched off");
  EXPECT_EQ(plan.refused[3].reason, "the device has no BP filter");
  EXPECT_GT(plan.largest_difference_db, 3.0);
}

TEST(EqFilterTextTest, RewExportSkipsItsHeaderAndUnusedFiltersAndTheChannelFillsUp) {
  const FilterList list = Load("rew-filters.txt");
  ASSERT_EQ(list.filters.size(), 3u);
  EXPECT_DOUBLE_EQ(list.filters[0].hz, 63.5);
  EXPECT_EQ(*list.filters[1].q, 2.0);
  EXPECT_EQ(list.filters[2].kind, "LS 6dB");  // the device's shelves are 12 dB ones
  EXPECT_TRUE(list.skipped.empty());

  Device device;
  FilterList many;
  for (int i = 0; i < 7; ++i) many.filters.push_back(list.filters[1]);
  const ImportPlan plan = device.Plan(many, 2);  // an output: five bands
  EXPECT_EQ(plan.bands.size(), 5u);
  ASSERT_EQ(plan.refused.size(), 2u);
  EXPECT_EQ(plan.refused[0].reason, "the channel has only 5 bands");
}

TEST(EqFilterTextTest, LargestDifferenceIsThatOfTheSnappedValues) {
  const auto plan_of = [](const char* line) {
    Device device;
    return device.Plan(*ParseFilterText(QString::fromLatin1(line)).list, 0).largest_difference_db;
  };
  EXPECT_NEAR(plan_of("Filter 1: ON PK Fc 1000 Hz Gain -3 dB Q 2"), 0.0, 1e-12);
  EXPECT_NEAR(plan_of("Filter 1: ON PK Fc 1000 Hz Gain -3.2 dB Q 2"), 0.2, 1e-9);
}

TEST(EqFilterTextTest, UnreadableFilterTextNamesItsLine) {
  struct Case {
    const char* text;
    int line;
    const char* reason;
  };
  const Case cases[] = {
      {"Preamp: -3 dB\nFilter 1: ON PK Fc abc Hz Gain 1 dB Q 1\n", 2, "\"abc\" is not a finite"},
      {"Filter 1: ON PK Fc 100 Hz Gain nan dB Q 1\n", 1, "\"nan\" is not a finite"},
      {"Filter 1: ON PK Gain 1 dB Q 1\n", 1, "no frequency"},
      {"Filter 1: ON PK Fc 100 Hz Q 1\n", 1, "needs its gain and its Q"},
      {"Filter 1: MAYBE PK Fc 100 Hz\n", 1, "neither ON nor OFF"},
      {"Filter 1: ON LSC Fc 100 Hz Slope 3\n", 1, "\"Slope\" is not a filter setting"},
      {"\n20 1.0\n30 2.0\n", 2, "not a filter line"},
      {"# nothing\n", 1, "no filter lines"},
  };
  for (const Case& c : cases) {
    const FilterListOrFault read = ParseFilterText(QString::fromLatin1(c.text));
    EXPECT_FALSE(read.list) << c.text;
    EXPECT_EQ(read.fault.line, c.line) << c.text;
    EXPECT_TRUE(read.fault.reason.contains(QLatin1String(c.reason)))
        << c.text << " -> " << read.fault.Sentence().toStdString();
  }
}

TEST(EqFilterTextTest, BothFormatsWriteTheirOwnColumns) {
  const std::vector<FilterBand> bands{{0, 1000, -3.0, 2.0, false}, {3, 80, 0.0, 0.7, true}};
  const QStringList rew = WriteFilterText(FilterFormat::kRew, bands, "Left").split('\n');
  EXPECT_EQ(rew.first(), "Filter Settings file");
  EXPECT_TRUE(rew.contains("Filter  1: ON  PK       Fc   1000 Hz  Gain  -3.0 dB  Q  2.00"));
  EXPECT_TRUE(rew.contains("Filter  2: OFF HPQ      Fc     80 Hz  Q  0.70"));
  EXPECT_EQ(WriteFilterText(FilterFormat::kApo, bands, "Left"),
            "Filter 1: ON PK Fc 1000 Hz Gain -3.0 dB Q 2.00\n"
            "Filter 2: OFF HPQ Fc 80 Hz Q 0.70\n");
}

TEST(EqFilterTextTest, ExportThenImportGivesBackEveryBandOfEveryTypeAndQ) {
  std::mt19937 random(25);
  for (const FilterFormat format : {FilterFormat::kRew, FilterFormat::kApo}) {
    // Every Q byte of every type, twelve bands (one input channel) at a time.
    for (int start = 0; start < 6 * 101; start += 12) {
      Device device;
      std::vector<EqBandValues> bands;
      std::vector<FilterBand> written;
      for (int band = 0; band < 12; ++band) {
        const int n = (start + band) % (6 * 101);
        const EqBandValues v = Band(n / 101, 20 + static_cast<int>(random() % 19981), n % 101,
                                    static_cast<int>(random() % 61));
        device.Put(0, band, v);
        bands.push_back(v);
        written.push_back(BandAsFilter(v, false));
      }
      const QString text = WriteFilterText(format, written, "InL");
      const FilterListOrFault read = ParseFilterText(text);
      ASSERT_TRUE(read.list) << read.fault.Sentence().toStdString();
      const ImportPlan plan = device.Plan(*read.list, 0);
      EXPECT_TRUE(plan.refused.empty());
      for (int band = 0; band < 12; ++band) {
        const ImportBand& b = plan.bands[static_cast<size_t>(band)];
        ASSERT_TRUE(b.asked.has_value());
        EXPECT_TRUE(b.held == bands[static_cast<size_t>(band)])
            << "band " << band << ": "
            << DescribeBand(bands[static_cast<size_t>(band)]).toStdString() << " came back as "
            << DescribeBand(b.held).toStdString();
        EXPECT_FALSE(b.Changes());
      }
    }
  }
}

}  // namespace
}  // namespace tessaly::model
