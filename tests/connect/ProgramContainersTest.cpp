#include <gtest/gtest.h>

#include "device/DeviceTypes.h"
#include "programs/ProgramNames.h"
#include "programs/SleepTable.h"

namespace tessaly::programs {
namespace {

TEST(SleepTableTest, GroupCountsAreBigEndianTriples) {
  SleepTable table;
  table.bytes = {0, 0, 0, 127, 255, 255, 1, 2, 3, 0, 0, 1, 0x12, 0x34, 0x56};
  const int expected[] = {-1, 0, 8388607, 0x010203, 1, 0x123456, -1};
  for (int group = -1; group <= 5; ++group) EXPECT_EQ(table.GroupCount(group), expected[group + 1]);
}

TEST(ProgramNamesTest, FactoryNamesAndSlotBounds) {
  // The factory names themselves show in the demo connect.
  ProgramNames names;
  ASSERT_NE(names.At(32), nullptr);
  names.At(32)->program_status[3] = 3;
  ASSERT_TRUE(names.FillFactory(32, device::kTypeRl4800));
  EXPECT_FALSE(ProgramNameList::IsStored(names.At(32)->program_status[3]));
  EXPECT_TRUE(names.At(33) == nullptr && names.At(-1) == nullptr);
  EXPECT_FALSE(names.FillFactory(33, device::kType540S) || names.FillFactory(0, 4));
  EXPECT_TRUE(ProgramNameList::IsStored(63) && !ProgramNameList::IsStored(64));
}

}  // namespace
}  // namespace tessaly::programs
