#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "protocol/DefaultImage.h"
#include "protocol/Offsets.h"
#include "protocol/ProgramData.h"

// The device memory map: default images, band offsets and the PC's record around them.
namespace tessaly::protocol {
namespace {

// Every non-zero byte of a default image, written out from the documented layout rather than
// from the tables the image is built with.
std::map<int, int> ExpectedNonZero(bool family_b) {
  std::map<int, int> bytes;
  const int inputs = family_b ? 4 : 2;
  const int output_base = family_b ? 320 : 160;
  const int head = family_b ? 3 : 0;  // family B outputs open with four mixer sends
  const int in_hz[] = {40, 80, 100, 200, 400, 800, 1000, 2000, 4000, 10000, 12000, 16000};
  const int out_hz[] = {125, 250, 1000, 4000, 8000};
  auto band = [&](int at, int hz) {
    if (hz >> 8) bytes[at + 1] = hz >> 8;
    if (hz & 0xFF) bytes[at + 2] = hz & 0xFF;
    bytes[at + 3] = 9;
    bytes[at + 4] = 30;
  };
  for (int i = 0; i < inputs; ++i) {
    const int b = 80 * i;
    bytes[b + 0] = 1;
    bytes[b + 1] = 2;
    bytes[b + 2] = 5;
    bytes[b + 3] = 6;
    bytes[b + 4] = 120;
    bytes[b + 8] = 150;
    bytes[b + 9] = 20;
    bytes[b + 11] = 10;
    for (int k = 0; k < 12; ++k) band(b + 14 + 5 * k, in_hz[k]);
  }
  const int mixers[3][4] = {{158, 30, 30, 30}, {30, 158, 30, 30}, {152, 152, 30, 30}};
  for (int o = 0; o < 3; ++o) {
    const int b = output_base + 48 * o;
    if (family_b) {
      for (int j = 0; j < 4; ++j) bytes[b + j] = mixers[o][j];
    } else if (o > 0) {
      bytes[b] = o;
    }
    bytes[b + head + 1] = 120;
    bytes[b + head + 5] = 150;
    bytes[b + head + 6] = 20;
    bytes[b + head + 9] = 20;
    bytes[b + head + 11] = 20000 >> 8;
    bytes[b + head + 12] = 20000 & 0xFF;
    for (int k = 0; k < 5; ++k) band(b + head + 14 + 5 * k, out_hz[k]);
  }
  const char* name = "Default";
  const int name_at = family_b ? 464 : 320;
  for (int i = 0; i < 16; ++i) bytes[name_at + i] = i < 7 ? name[i] : ' ';
  bytes[family_b ? 503 : 343] = 21;
  bytes[family_b ? 506 : 346] = family_b ? 127 : 31;
  bytes[family_b ? 507 : 347] = family_b ? 127 : 31;
  return bytes;
}

class DefaultImageTest : public testing::TestWithParam<int> {};

TEST_P(DefaultImageTest, HoldsTheDocumentedDefaultsAndZeroElsewhere) {
  const int type = GetParam();
  const bool family_b = type == 3;
  const QByteArray& image = DefaultImage(type);
  ASSERT_EQ(image.size(), family_b ? kImageSizeB : kImageSizeA);
  const auto expected = ExpectedNonZero(family_b);
  for (int i = 0; i < image.size(); ++i) {
    const auto it = expected.find(i);
    EXPECT_EQ(static_cast<uint8_t>(image.at(i)), it == expected.end() ? 0 : it->second)
        << "offset " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Types, DefaultImageTest, testing::Values(0, 1, 2, 3));

struct FamilyCase {
  Family family;
  const Layout* layout;
  int image;
  int record;
  std::vector<std::pair<int, int>> band_offsets;  // global band, image offset
};

class FamilyLayoutTest : public testing::TestWithParam<FamilyCase> {};

TEST_P(FamilyLayoutTest, BandTablesFollowTheMemoryMap) {
  const Layout& l = *GetParam().layout;
  for (const auto& [band, offset] : GetParam().band_offsets) {
    EXPECT_EQ(l.eq_band_offset[band], offset) << band;
  }
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

// The spare byte after the image is the last addressable offset; the tail follows it.
TEST_P(FamilyLayoutTest, RecordBounds) {
  ProgramData data(GetParam().family);
  const int spare = GetParam().image;
  EXPECT_EQ(static_cast<int>(data.Record().size()), GetParam().record);
  EXPECT_EQ(static_cast<int>(data.Image().size()), spare);
  EXPECT_TRUE(data.Set(spare, 7));
  EXPECT_EQ(data.Get(spare), 7);
  EXPECT_FALSE(data.Get(spare + 1).has_value());
  EXPECT_FALSE(data.Get(-1).has_value());
  const std::vector<uint8_t> before(data.Record().begin(), data.Record().end());
  EXPECT_FALSE(data.Set(spare + 1, 9));
  EXPECT_FALSE(data.Set(-1, 9));
  EXPECT_FALSE(data.Set16(spare, 0xFFFF));
  EXPECT_FALSE(data.Write(spare, std::vector<uint8_t>{1, 2}));
  EXPECT_TRUE(data.Read(spare, 2).empty());
  EXPECT_FALSE(data.SetTail(kTailSize, 33));
  EXPECT_FALSE(data.SetTail(-1, 33));
  EXPECT_FALSE(data.Tail(kTailSize).has_value());
  EXPECT_EQ(std::vector<uint8_t>(data.Record().begin(), data.Record().end()), before);
  EXPECT_TRUE(data.SetTail(0, 11));
  EXPECT_TRUE(data.SetTail(kTailSize - 1, 22));
  EXPECT_EQ(data.Record()[static_cast<size_t>(spare + 1)], 11);
  EXPECT_EQ(data.Record().back(), 22);
  // The record is replaced only whole; a default image leaves the tail.
  std::vector<uint8_t> record(static_cast<size_t>(GetParam().record), 5);
  EXPECT_FALSE(data.SetRecord(std::vector<uint8_t>(record.begin(), record.end() - 1)));
  EXPECT_EQ(data.Get(0), 1);  // default gate bypass untouched
  EXPECT_TRUE(data.SetRecord(record));
  EXPECT_EQ(data.Get(0), 5);
  data.LoadDefaultImage();
  EXPECT_EQ(data.Get(0), 1);
  EXPECT_EQ(data.Tail(kTailSize - 1), 5);
}

const std::vector<std::pair<int, int>> kBandOffsetsA = {{0, 14},   {11, 69},  {12, 94},  {23, 149},
                                                        {24, 174}, {28, 194}, {29, 222}, {33, 242},
                                                        {34, 270}, {38, 290}};
const std::vector<std::pair<int, int>> kBandOffsetsB = {
    {0, 14},   {11, 69},  {12, 94},  {23, 149}, {24, 174}, {35, 229}, {36, 254},
    {47, 309}, {48, 337}, {52, 357}, {53, 385}, {57, 405}, {58, 433}, {62, 453}};

INSTANTIATE_TEST_SUITE_P(
    Families, FamilyLayoutTest,
    testing::Values(FamilyCase{Family::kA, &kLayoutA, 352, 1203, kBandOffsetsA},
                    FamilyCase{Family::kB, &kLayoutB, 512, 1363, kBandOffsetsB}));

TEST(ProgramData, WordsAreBigEndianAndNamesSixteenCharacters) {
  ProgramData a(Family::kA);
  ASSERT_TRUE(a.Set16(168, 20000));
  EXPECT_EQ(a.Read(168, 2), (std::vector<uint8_t>{78, 32}));
  EXPECT_EQ(a.Get16(168), 20000);
  EXPECT_EQ(a.Name(), QStringLiteral("Default         "));
  a.SetName(QStringLiteral("Hall"));
  EXPECT_EQ(a.Name(), QStringLiteral("Hall            "));
  EXPECT_EQ(a.Get(324), ' ');
  ProgramData b(Family::kB);
  b.SetName(QStringLiteral("A name that is far too long"));
  EXPECT_EQ(b.Name(), QStringLiteral("A name that is f"));
  EXPECT_EQ(b.Get(464), 'A');
  EXPECT_EQ(b.Get(480), 0);
}

}  // namespace
}  // namespace tessaly::protocol
