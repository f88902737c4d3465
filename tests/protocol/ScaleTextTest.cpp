#include "protocol/ScaleText.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tessaly::protocol {
namespace {

TEST(ScaleText, FormatTwoDigits) {
  const std::vector<std::pair<int, const char*>> cases = {
      {0, "00"}, {5, "05"}, {7, "07"}, {9, "09"}, {10, "10"}, {12, "12"}, {59, "59"}, {123, "123"}};
  for (const auto& [n, text] : cases) EXPECT_EQ(FormatTwoDigits(n), QString(text)) << n;
}

TEST(ScaleText, NumberTextIsTheShortestForm) {
  struct Case {
    double value;
    const char* point;
    const char* comma;
  };
  const std::vector<Case> cases = {
      {0, "0", "0"},
      {-0.0, "0", "0"},
      {3.5, "3.5", "3,5"},
      {-60, "-60", "-60"},
      {12, "12", "12"},
      {-17.8, "-17.8", "-17,8"},
      {(1 - 90) / 5.0, "-17.8", "-17,8"},
      {0.25, "0.25", "0,25"},
      {0.1 + 0.05 * 3, "0.25", "0,25"},  // binary noise is rounded away
      {1000, "1000", "1000"},
      {20000, "20000", "20000"},
      {0.0001, "0.0001", "0,0001"},
      {960.998 * 0.34, "326.73932", "326,73932"},
      {-0.5, "-0.5", "-0,5"}};
  for (const Case& c : cases) {
    EXPECT_EQ(NumberText(c.value, false), QString(c.point)) << c.value;
    EXPECT_EQ(NumberText(c.value, true), QString(c.comma)) << c.value;
  }
}

TEST(ScaleText, OneDecimalTextKeepsTheZero) {
  EXPECT_EQ(OneDecimalText(1, false), "1.0");
  EXPECT_EQ(OneDecimalText(1, true), "1,0");
  EXPECT_EQ(OneDecimalText(0.1, false), "0.1");
  EXPECT_EQ(OneDecimalText(5, false), "5.0");
  EXPECT_EQ(OneDecimalText(2.1, true), "2,1");
  EXPECT_EQ(OneDecimalText(-0.01, false), "0.0");
}

TEST(ScaleText, RatioAndNoiseLevel) {
  EXPECT_EQ(RatioText(0), "2:1");
  EXPECT_EQ(RatioText(2), "4:1");
  EXPECT_EQ(RatioText(30), "32:1");
  EXPECT_EQ(NoiseLevelText(0), "-40");
  EXPECT_EQ(NoiseLevelText(27), "-13");
  EXPECT_EQ(NoiseLevelText(40), "0");
}

TEST(ScaleText, ParseNumberText) {
  const std::vector<std::pair<const char*, std::optional<double>>> cases = {{"3.3", 3.3},
                                                                            {"3,3", 3.3},
                                                                            {"-60", -60},
                                                                            {"+12", 12},
                                                                            {"  12.5 ", 12.5},
                                                                            {".5", 0.5},
                                                                            {"5.", 5},
                                                                            {"0", 0},
                                                                            {"-0,25", -0.25},
                                                                            {"", std::nullopt},
                                                                            {"   ", std::nullopt},
                                                                            {"-", std::nullopt},
                                                                            {".", std::nullopt},
                                                                            {"abc", std::nullopt},
                                                                            {"1?", std::nullopt},
                                                                            {"1.2.3", std::nullopt},
                                                                            {"1,2.3", std::nullopt},
                                                                            {"1e5", std::nullopt},
                                                                            {"inf", std::nullopt},
                                                                            {"5-", std::nullopt},
                                                                            {"+-5", std::nullopt},
                                                                            {"1 2", std::nullopt}};
  for (const auto& [text, expected] : cases) {
    const std::optional<double> parsed = ParseNumberText(QString::fromLatin1(text));
    ASSERT_EQ(parsed.has_value(), expected.has_value()) << '"' << text << '"';
    if (expected) {
      EXPECT_DOUBLE_EQ(*parsed, *expected) << text;
    }
  }
}

}  // namespace
}  // namespace tessaly::protocol
