#include <gtest/gtest.h>

#include <map>

#include "protocol/DefaultImage.h"

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

TEST_P(DefaultImageTest, IsBuiltOnce) {
  EXPECT_EQ(&DefaultImage(GetParam()), &DefaultImage(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Types, DefaultImageTest, testing::Values(0, 1, 2, 3));

TEST(DefaultImage, FamilyATypesShareOneImage) {
  EXPECT_EQ(&DefaultImage(0), &DefaultImage(2));
  EXPECT_NE(&DefaultImage(0), &DefaultImage(3));
}

}  // namespace
}  // namespace tessaly::protocol
