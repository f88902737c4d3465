#include <gtest/gtest.h>

#include <vector>

#include "protocol/DefaultImage.h"
#include "protocol/ProgramData.h"

namespace tessaly::protocol {
namespace {

struct SizeCase {
  Family family;
  int image;
  int record;
};

class ProgramDataBoundsTest : public testing::TestWithParam<SizeCase> {};

TEST_P(ProgramDataBoundsTest, SpareByteIsTheLastAddressableOffset) {
  ProgramData data(GetParam().family);
  const int spare = GetParam().image;
  EXPECT_EQ(data.record_size(), GetParam().record);
  EXPECT_EQ(static_cast<int>(data.Record().size()), GetParam().record);
  EXPECT_EQ(static_cast<int>(data.Image().size()), GetParam().image);
  EXPECT_EQ(data.Get(spare), 0);
  EXPECT_TRUE(data.Set(spare, 7));
  EXPECT_EQ(data.Get(spare), 7);
  EXPECT_FALSE(data.Get(spare + 1).has_value());
  EXPECT_FALSE(data.Get(-1).has_value());
  const std::vector<uint8_t> before(data.Record().begin(), data.Record().end());
  EXPECT_FALSE(data.Set(spare + 1, 9));
  EXPECT_FALSE(data.Set(-1, 9));
  EXPECT_FALSE(data.Set16(spare, 0xFFFF));
  const std::vector<uint8_t> two{1, 2};
  EXPECT_FALSE(data.Write(spare, two));
  EXPECT_TRUE(data.Read(spare, 2).empty());
  EXPECT_EQ(std::vector<uint8_t>(data.Record().begin(), data.Record().end()), before);
}

TEST_P(ProgramDataBoundsTest, TailFollowsTheSpareByte) {
  ProgramData data(GetParam().family);
  EXPECT_TRUE(data.SetTail(0, 11));
  EXPECT_TRUE(data.SetTail(kTailSize - 1, 22));
  EXPECT_FALSE(data.SetTail(kTailSize, 33));
  EXPECT_FALSE(data.SetTail(-1, 33));
  EXPECT_EQ(data.Record()[static_cast<size_t>(GetParam().image + 1)], 11);
  EXPECT_EQ(data.Record().back(), 22);
  EXPECT_FALSE(data.Tail(kTailSize).has_value());
  EXPECT_EQ(data.Tail(0), 11);
}

TEST_P(ProgramDataBoundsTest, RecordReplacedOnlyWhole) {
  ProgramData data(GetParam().family);
  std::vector<uint8_t> record(static_cast<size_t>(GetParam().record), 5);
  record.pop_back();
  EXPECT_FALSE(data.SetRecord(record));
  EXPECT_EQ(data.Get(0), 1);  // default gate bypass untouched
  record.push_back(6);
  EXPECT_TRUE(data.SetRecord(record));
  EXPECT_EQ(data.Get(0), 5);
  EXPECT_EQ(data.Tail(kTailSize - 1), 6);
  data.LoadDefaultImage();
  EXPECT_EQ(data.Get(0), 1);
  EXPECT_EQ(data.Tail(kTailSize - 1), 6);
}

INSTANTIATE_TEST_SUITE_P(Families, ProgramDataBoundsTest,
                         testing::Values(SizeCase{Family::kA, 352, 1203},
                                         SizeCase{Family::kB, 512, 1363}));

TEST(ProgramData, SixteenBitValuesAreBigEndian) {
  ProgramData data(Family::kA);
  ASSERT_TRUE(data.Set16(168, 20000));
  EXPECT_EQ(data.Get(168), 78);
  EXPECT_EQ(data.Get(169), 32);
  EXPECT_EQ(data.Get16(168), 20000);
}

TEST(ProgramData, NameIsPaddedOrCutToSixteenCharacters) {
  ProgramData a(Family::kA);
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

TEST(ProgramData, StartsWithTheFamilyDefaultImage) {
  ProgramData b(Family::kB);
  const QByteArray& image = DefaultImage(3);
  ASSERT_EQ(b.Image().size(), static_cast<size_t>(image.size()));
  EXPECT_TRUE(std::equal(b.Image().begin(), b.Image().end(),
                         reinterpret_cast<const uint8_t*>(image.constData())));
}

}  // namespace
}  // namespace tessaly::protocol
