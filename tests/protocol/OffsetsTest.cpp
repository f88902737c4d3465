#include <gtest/gtest.h>

#include <vector>

#include "protocol/Offsets.h"

namespace tessaly::protocol {
namespace {

struct FamilyCase {
  const char* name;
  int type;
  const Layout* layout;
};

class OffsetTablesTest : public testing::TestWithParam<FamilyCase> {};

TEST_P(OffsetTablesTest, BandTablesAreContiguousAndEndAtTheBypassMask) {
  const Layout& l = *GetParam().layout;
  ASSERT_EQ(static_cast<int>(l.eq_band_offset.size()), l.band_count);
  int expected_first = 0;
  for (int ch = 0; ch < l.channel_count; ++ch) {
    EXPECT_EQ(l.first_band[ch], expected_first);
    expected_first += l.BandCount(ch);
    const int first = l.eq_band_offset[l.first_band[ch]];
    for (int k = 1; k < l.BandCount(ch); ++k) {
      EXPECT_EQ(l.eq_band_offset[l.first_band[ch] + k], first + 5 * k);
    }
    EXPECT_EQ(l.eq_bypass_offset[ch], first + 5 * l.BandCount(ch));
  }
  EXPECT_EQ(expected_first, l.band_count);
  EXPECT_FALSE(l.GlobalBand(0, 12).has_value());
  EXPECT_FALSE(l.GlobalBand(l.first_output, 5).has_value());
  EXPECT_FALSE(l.GlobalBand(l.channel_count, 0).has_value());
  EXPECT_FALSE(l.CrossoverIndex(0, 0).has_value());
  EXPECT_FALSE(l.CrossoverIndex(l.first_output, 2).has_value());
  EXPECT_EQ(l.CrossoverIndex(l.channel_count - 1, 1), 5);
}

INSTANTIATE_TEST_SUITE_P(Families, OffsetTablesTest,
                         testing::Values(FamilyCase{"A", 0, &kLayoutA},
                                         FamilyCase{"B", 3, &kLayoutB}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OffsetTables, BandOffsetsMatchTheDeviceMemoryMap) {
  using family_a::kEqBandOffset;
  EXPECT_EQ(kEqBandOffset[0], 14);
  EXPECT_EQ(kEqBandOffset[11], 69);
  EXPECT_EQ(kEqBandOffset[12], 94);
  EXPECT_EQ(kEqBandOffset[23], 149);
  EXPECT_EQ(kEqBandOffset[24], 174);
  EXPECT_EQ(kEqBandOffset[28], 194);
  EXPECT_EQ(kEqBandOffset[29], 222);
  EXPECT_EQ(kEqBandOffset[33], 242);
  EXPECT_EQ(kEqBandOffset[34], 270);
  EXPECT_EQ(kEqBandOffset[38], 290);
  const std::vector<std::pair<int, int>> b{{0, 14},   {11, 69},  {12, 94},  {23, 149}, {24, 174},
                                           {35, 229}, {36, 254}, {47, 309}, {48, 337}, {52, 357},
                                           {53, 385}, {57, 405}, {58, 433}, {62, 453}};
  for (const auto& [band, offset] : b) EXPECT_EQ(family_b::kEqBandOffset[band], offset) << band;
}

TEST(OffsetTables, FamilyChosenByTypeCode) {
  EXPECT_EQ(&LayoutOfType(0), &kLayoutA);
  EXPECT_EQ(&LayoutOfType(1), &kLayoutA);
  EXPECT_EQ(&LayoutOfType(2), &kLayoutA);
  EXPECT_EQ(&LayoutOfType(3), &kLayoutB);
  EXPECT_EQ(kLayoutA.record_size, 1203);
  EXPECT_EQ(kLayoutB.record_size, 1363);
}

}  // namespace
}  // namespace tessaly::protocol
