#include <gtest/gtest.h>

#include "comm/DeviceTable.h"
#include "device/DeviceTypes.h"

namespace tessaly::comm {
namespace {

TEST(DeviceTypes, PerTypeTables) {
  struct Row {
    int type;
    const char* model;
    int baud, probe, last_program;
    bool family_b;
  };
  const Row rows[] = {
      {0, " RK-540 ", 57600, 119, 63, false},
      {1, " RK-360 ", 9600, 127, 55, false},
      {2, " RL-4800 ", 9600, 127, 15, false},
      {3, " RK-540 ", 57600, 119, 55, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    EXPECT_EQ(device::ModelName(row.type), QString::fromLatin1(row.model));
    EXPECT_EQ(device::BaudRate(row.type), row.baud);
    EXPECT_EQ(device::ProbeCommand(row.type), row.probe);
    EXPECT_EQ(device::LastProgramIndex(row.type), row.last_program);
    EXPECT_EQ(device::IsFamilyB(row.type), row.family_b);
  }
  EXPECT_FALSE(device::IsValidType(4));
  EXPECT_FALSE(device::IsValidType(-1));
  EXPECT_FALSE(device::IsFamilyB(4));
}

// Going off-line keeps the registration; a reset gives the documented values.
TEST(DeviceTable, RegisterGoOfflineAndReset) {
  DeviceTable table;
  ASSERT_TRUE(table.Register(5, {kLinkTcp, "127.0.0.12", 5, 1, "Stage Left Amp  "}));
  EXPECT_TRUE(table[5].online && table[5].registered);
  EXPECT_EQ(table.device_type[5], 1);
  EXPECT_EQ(table.device_name[5], QStringLiteral("Stage Left Amp  "));
  for (const bool reset : {false, true}) {
    table.device_data_valid[5] = 1;
    table.device_needs_read[5] = false;
    ASSERT_TRUE(reset ? table.ResetSlot(5) : table.GoOffline(5));
    EXPECT_FALSE(table[5].online);
    EXPECT_EQ(table[5].registered, !reset);
    EXPECT_TRUE(table.device_needs_read[5]);
    EXPECT_EQ(table.device_data_valid[5], 0);
  }
  EXPECT_FALSE(table[5].editor_open);
  EXPECT_EQ(table[5].device_id, 255);
  EXPECT_EQ(table[5].ip_address, QStringLiteral("192.168.0 1"));
  EXPECT_EQ(table[5].link_kind, kLinkUsb);
  for (int slot : {-1, 33, 1000}) {
    EXPECT_FALSE(table.ResetSlot(slot) || table.Register(slot, {}) || table.GoOffline(slot));
    EXPECT_TRUE(table.OfflineRowText(slot, kLinkTcp).isEmpty());
  }
  EXPECT_TRUE(IsValidSlot(0) && IsValidSlot(32));
}

TEST(DeviceTable, DemoSetupPerMode) {
  struct Case {
    int16_t mode;
    bool several;
    int16_t demo_type;
    int slot_count;
    int16_t type;
    const char* first_ip;
  };
  const Case cases[] = {
      {kLinkTcp, true, 0, 5, 3, "192.168.0.1"},
      {kLinkTcp, false, 0, 1, 3, "192.168.0.100"},
      {kLinkUsb, false, 2, 1, 2, "192.168.0 1"},
      {kLinkUsb, true, 1, 1, 1, "192.168.0 1"},  // several addresses mean nothing over USB
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    DeviceTable table;
    const auto filled = table.DemoSetup(c.mode, c.several, c.demo_type);
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const bool expected = slot < c.slot_count;
      EXPECT_EQ(filled[slot], expected) << slot;
      EXPECT_EQ(table[slot].registered, expected) << slot;
      EXPECT_FALSE(table[slot].online);  // demo slots never take traffic
      if (!expected) continue;
      EXPECT_EQ(table.device_type[slot], c.type);
      EXPECT_EQ(table.device_name[slot], device::ModelName(c.type));
      EXPECT_EQ(table[slot].device_id, c.mode == kLinkTcp ? slot : 0);
    }
    EXPECT_EQ(table[0].ip_address, QString::fromLatin1(c.first_ip));
    if (c.slot_count == 5) {
      EXPECT_EQ(table[4].ip_address, QStringLiteral("192.168.0.5"));
    }
  }
}

}  // namespace
}  // namespace tessaly::comm
