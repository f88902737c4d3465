#include <gtest/gtest.h>

#include "comm/DeviceTypes.h"
#include "programs/ProgramNames.h"
#include "programs/SleepTable.h"

namespace tessaly::programs {
namespace {

TEST(SleepTableTest, GroupCountsAreBigEndianTriples) {
  SleepTable table;
  table.bytes = {0, 0, 0, 127, 255, 255, 1, 2, 3, 0, 0, 1, 0x12, 0x34, 0x56};
  EXPECT_EQ(table.GroupCount(0), 0);
  EXPECT_EQ(table.GroupCount(1), 8388607);
  EXPECT_EQ(table.GroupCount(2), 65536 + 2 * 256 + 3);
  EXPECT_EQ(table.GroupCount(3), 1);
  EXPECT_EQ(table.GroupCount(4), 0x123456);
  EXPECT_EQ(table.GroupCount(5), -1);
  EXPECT_EQ(table.GroupCount(-1), -1);
}

TEST(ProgramNamesTest, FactoryNamesAndSlotBounds) {
  ProgramNames names;
  ProgramNameList* list = names.At(32);
  ASSERT_NE(list, nullptr);
  list->program_name[3] = QStringLiteral("Stored          ");
  list->program_status[3] = 3;
  ASSERT_TRUE(names.FillFactory(32, comm::kTypeRl4800));
  EXPECT_EQ(list->program_name[3], QStringLiteral("Program Empty   "));
  EXPECT_EQ(list->program_name[3].size(), 16);
  EXPECT_FALSE(ProgramNameList::IsStored(list->program_status[3]));
  EXPECT_EQ(list->current_program_name, QStringLiteral("Factory Preset"));
  EXPECT_EQ(names.At(33), nullptr);
  EXPECT_EQ(names.At(-1), nullptr);
  EXPECT_FALSE(names.FillFactory(33, comm::kType540S));
  EXPECT_FALSE(names.FillFactory(0, 4));
  EXPECT_TRUE(ProgramNameList::IsStored(63));
  EXPECT_FALSE(ProgramNameList::IsStored(64));
}

}  // namespace
}  // namespace tessaly::programs
