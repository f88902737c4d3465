#include "graph/Measurement.h"

#include <gtest/gtest.h>

#include <cmath>

#include "graph/CurveMath.h"
#include "graph/TextFile.h"

namespace tessaly::graph {
namespace {

Measurement Load(const char* name) {
  const auto text = ReadTextFile(QStringLiteral(TESSALY_TEST_DATA "/") + name, nullptr);
  EXPECT_TRUE(text.has_value()) << name;
  const MeasurementOrFault read = ParseMeasurement(text.value_or(QString()));
  EXPECT_TRUE(read.measurement) << read.fault.Sentence().toStdString();
  return read.measurement.value_or(Measurement{});
}

// The sample rises 2 dB per octave from 71 dB at 20 Hz.
double SampleDb(double hz) { return 71.0 + 2.0 * std::log2(hz / 20.0); }

TEST(MeasurementTest, ReadsCommentsBlanksPhaseAndNamesTheClippedPoints) {
  const Measurement m = Load("measurement-rew.txt");
  ASSERT_EQ(m.hz.size(), 12u);
  EXPECT_DOUBLE_EQ(m.hz[1], 20.0);
  EXPECT_DOUBLE_EQ(m.db[11], 91.0);
  ASSERT_EQ(m.phase.size(), 12u);
  EXPECT_DOUBLE_EQ(m.phase[0], -12.5);
  ASSERT_EQ(m.notes.size(), 1);
  EXPECT_TRUE(m.notes[0].startsWith("1 points below 20 Hz and 1 above 20 kHz"))
      << m.notes[0].toStdString();

  const Measurement tabs = Load("measurement-tabs.txt");
  ASSERT_EQ(tabs.db.size(), 3u);
  EXPECT_DOUBLE_EQ(tabs.db[1], -2.25);  // a decimal comma between tabs
  EXPECT_TRUE(tabs.phase.empty());
  EXPECT_TRUE(tabs.notes.isEmpty());
}

TEST(MeasurementTest, RefusesWhatIsNoMeasurementWithTheLine) {
  struct Case {
    const char* text;
    int line;
    const char* reason;
  };
  const Case cases[] = {
      {"* c\n100 1\n90 2\n", 3, "must rise (90 Hz follows 100 Hz)"},
      {"100,1\n200,2\n200,3\n", 3, "200 Hz stands twice"},
      {"100 1\n200 nan\n", 2, "must be finite"},
      {"100 1\ninf 2\n", 2, "must be finite"},
      {"# hi\nFreq SPL\n100 1\n", 2, "\"Freq\" is not a number"},
      {"100\n", 1, "not a frequency and a level"},
      {"* only\n\n100 1\n", 3, "at least two lines"},
      {"", 1, "at least two lines"},
      {"-5 1\n10 2\n", 1, "not above 0 Hz"},
  };
  for (const Case& c : cases) {
    const MeasurementOrFault read = ParseMeasurement(QString::fromLatin1(c.text));
    EXPECT_FALSE(read.measurement) << c.text;
    EXPECT_EQ(read.fault.line, c.line) << c.text;
    EXPECT_TRUE(read.fault.reason.contains(QLatin1String(c.reason)))
        << c.text << " -> " << read.fault.Sentence().toStdString();
  }
}

TEST(MeasurementTest, SparsePointsInterpolateOverLogFrequencyAndStopAtTheirEnds) {
  const Measurement m = Load("measurement-rew.txt");
  const Curve curve = MeasurementCurve(m, 0, -71.0);
  const GraphFreqTable& grid = GraphFreq();
  for (int k = 0; k < kGraphPoints; k += 37) {
    EXPECT_NEAR(curve[k], SampleDb(grid[k]) - 71.0, 1e-9) << grid[k] << " Hz";
  }
  EXPECT_NEAR(curve[kGraphPoints - 1], SampleDb(20000.0) - 71.0, 1e-9);

  Measurement narrow = Load("measurement-tabs.txt");
  const Curve part = MeasurementCurve(narrow, 0);
  EXPECT_TRUE(std::isnan(part[0]));                            // 20 Hz, below the first point
  EXPECT_TRUE(std::isnan(part[kGraphPoints - 1]));             // 20 kHz, above the last
  EXPECT_NEAR(part[130], -1.5 - 0.75 * std::log2(1.5), 1e-9);  // 150 Hz
}

TEST(MeasurementTest, DensePointsAverageWithinTheirGridCell) {
  // 0.25 Hz steps: each 1 Hz grid cell holds four points alternating around a ramp.
  Measurement m;
  for (int i = 0; i < 4 * 600; ++i) {
    const double hz = 19.0 + 0.25 * i;
    m.hz.push_back(hz);
    m.db.push_back(hz / 100.0 + (i % 2 == 0 ? 3.0 : -3.0));
  }
  const Curve curve = ResampleToGraph(m, m.db);
  const GraphFreqTable& grid = GraphFreq();
  for (int k = 1; k < 450; k += 41) {
    EXPECT_NEAR(curve[k], grid[k] / 100.0, 0.01) << grid[k] << " Hz";
  }
}

TEST(MeasurementTest, OctaveSmoothingAveragesHalfTheFractionEachSide) {
  // A step of 6 dB at 1 kHz on a 1/100-octave grid.
  Measurement m;
  for (int i = -500; i <= 500; ++i) {
    m.hz.push_back(1000.0 * std::exp2(i / 100.0));
    m.db.push_back(i < 0 ? 0.0 : 6.0);
  }
  const std::vector<double> third = SmoothOctave(m, 3);
  const auto at = [&](const std::vector<double>& v, int i) {
    return v[static_cast<size_t>(i + 500)];
  };
  EXPECT_DOUBLE_EQ(at(third, 16), 6.0);  // 1/6 octave above the step it is not felt
  EXPECT_LT(at(third, 15), 6.0);
  EXPECT_NEAR(at(third, 0), 6.0 * 17.0 / 33.0, 1e-9);
  EXPECT_DOUBLE_EQ(at(third, -17), 0.0);
  EXPECT_EQ(SmoothOctave(m, 0), m.db);
  const std::vector<double> fine = SmoothOctave(m, 48);
  EXPECT_DOUBLE_EQ(at(fine, 1), 6.0);
  EXPECT_NEAR(at(fine, 0), 4.0, 1e-9);
  EXPECT_DOUBLE_EQ(at(fine, -2), 0.0);
}

}  // namespace
}  // namespace tessaly::graph
