#include <gtest/gtest.h>

#include <vector>

#include "protocol/DefaultImage.h"
#include "protocol/Offsets.h"

namespace tessaly::protocol {
namespace {

uint8_t At(const QByteArray& image, int offset) { return static_cast<uint8_t>(image.at(offset)); }
int At16(const QByteArray& image, int offset) {
  return At(image, offset) << 8 | At(image, offset + 1);
}

struct FamilyCase {
  const char* name;
  int type;
  const Layout* layout;
};

class OffsetTablesTest : public testing::TestWithParam<FamilyCase> {};

TEST_P(OffsetTablesTest, EveryChannelFieldHoldsItsDefault) {
  const Layout& l = *GetParam().layout;
  const QByteArray& image = DefaultImage(GetParam().type);
  for (int ch = 0; ch < l.channel_count; ++ch) {
    SCOPED_TRACE(ch);
    EXPECT_EQ(At(image, l.gain_offset[ch]), 120);
    EXPECT_EQ(At16(image, l.delay_offset[ch]), 0);
    EXPECT_EQ(At(image, l.delay_offset[ch] + 2), 0);
    EXPECT_EQ(At16(image, l.eq_bypass_offset[ch]), 0);
    if (l.IsInput(ch)) {
      const std::vector<int> gate{1, 2, 5, 6};
      for (int i = 0; i < 4; ++i) EXPECT_EQ(At(image, l.gate_offset[ch] + i), gate[i]);
      const std::vector<int> comp{150, 20, 0, 10, 0, 0};
      for (int i = 0; i < 6; ++i) EXPECT_EQ(At(image, l.comp_offset[ch] + i), comp[i]);
      EXPECT_EQ(l.dyn_offset[ch], l.comp_offset[ch]);
    } else {
      const std::vector<int> lim{150, 20, 0};
      for (int i = 0; i < 3; ++i) EXPECT_EQ(At(image, l.dyn_offset[ch] + i), lim[i]);
      const int out = ch - l.first_output;
      EXPECT_EQ(At16(image, l.xover_offset[out * 2]), 20);
      EXPECT_EQ(At(image, l.xover_offset[out * 2] + 2), 0);
      EXPECT_EQ(At16(image, l.xover_offset[out * 2 + 1]), 20000);
      EXPECT_EQ(At(image, l.xover_offset[out * 2 + 1] + 2), 0);
    }
  }
}

TEST_P(OffsetTablesTest, BandsHoldFlatBellsAtTheirFrequencies) {
  const Layout& l = *GetParam().layout;
  const QByteArray& image = DefaultImage(GetParam().type);
  const std::vector<int> input_hz{40,   80,   100,  200,   400,   800,
                                  1000, 2000, 4000, 10000, 12000, 16000};
  const std::vector<int> output_hz{125, 250, 1000, 4000, 8000};
  for (int ch = 0; ch < l.channel_count; ++ch) {
    const auto& hz = l.IsInput(ch) ? input_hz : output_hz;
    ASSERT_EQ(l.BandCount(ch), static_cast<int>(hz.size()));
    for (int k = 0; k < l.BandCount(ch); ++k) {
      SCOPED_TRACE(testing::Message() << "ch " << ch << " band " << k);
      const int offset = l.eq_band_offset[*l.GlobalBand(ch, k)];
      EXPECT_EQ(At(image, offset), 0);
      EXPECT_EQ(At16(image, offset + 1), hz[static_cast<size_t>(k)]);
      EXPECT_EQ(At(image, offset + 3), 9);
      EXPECT_EQ(At(image, offset + 4), 30);
    }
  }
}

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
