#include <gtest/gtest.h>

#include "comm/DeviceTable.h"
#include "comm/DeviceTypes.h"

namespace tessaly::comm {
namespace {

TEST(DeviceTypes, PerTypeTables) {
  struct Row {
    int type;
    const char* model;
    int baud;
    int probe;
    int last_program;
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
    EXPECT_EQ(ModelName(row.type), QString::fromLatin1(row.model));
    EXPECT_EQ(BaudRate(row.type), row.baud);
    EXPECT_EQ(ProbeCommand(row.type), row.probe);
    EXPECT_EQ(LastProgramIndex(row.type), row.last_program);
    EXPECT_EQ(IsFamilyB(row.type), row.family_b);
  }
  EXPECT_FALSE(IsValidType(4));
  EXPECT_FALSE(IsValidType(-1));
  EXPECT_FALSE(IsFamilyB(4));
}

TEST(DeviceTable, ResetGivesTheDocumentedValues) {
  DeviceTable table;
  table.Register(5, {kLinkTcp, "127.0.0.9", 5, 3, "Name"});
  table.device_data_valid[5] = 1;
  table.device_needs_read[5] = false;
  ASSERT_TRUE(table.ResetSlot(5));
  const DeviceEntry& entry = table[5];
  EXPECT_FALSE(entry.online);
  EXPECT_FALSE(entry.editor_open);
  EXPECT_FALSE(entry.registered);
  EXPECT_EQ(entry.device_id, 255);
  EXPECT_EQ(entry.ip_address, QStringLiteral("192.168.0 1"));
  EXPECT_EQ(entry.link_kind, kLinkUsb);
  EXPECT_TRUE(table.device_needs_read[5]);
  EXPECT_EQ(table.device_data_valid[5], 0);
}

TEST(DeviceTable, SlotsOutsideTheTableAreRefused) {
  DeviceTable table;
  for (int slot : {-1, 33, 1000}) {
    SCOPED_TRACE(slot);
    EXPECT_FALSE(table.ResetSlot(slot));
    EXPECT_FALSE(table.Register(slot, {}));
    EXPECT_FALSE(table.GoOffline(slot));
    EXPECT_TRUE(table.OfflineRowText(slot, kLinkTcp).isEmpty());
  }
  EXPECT_TRUE(IsValidSlot(0));
  EXPECT_TRUE(IsValidSlot(32));
}

TEST(DeviceTable, RegisterThenGoOfflineKeepsTheRegistration) {
  DeviceTable table;
  ASSERT_TRUE(table.Register(2, {kLinkTcp, "127.0.0.12", 2, 1, "Stage Left Amp  "}));
  EXPECT_TRUE(table[2].online);
  EXPECT_TRUE(table[2].registered);
  EXPECT_EQ(table.device_type[2], 1);
  EXPECT_EQ(table.device_name[2], QStringLiteral("Stage Left Amp  "));
  table.device_data_valid[2] = 1;
  table.device_needs_read[2] = false;
  ASSERT_TRUE(table.GoOffline(2));
  EXPECT_FALSE(table[2].online);
  EXPECT_TRUE(table[2].registered);
  EXPECT_TRUE(table.device_needs_read[2]);
  EXPECT_EQ(table.device_data_valid[2], 0);
}

TEST(DeviceTable, OfflineRowTextPerTransport) {
  DeviceTable table;
  table.Register(1, {kLinkTcp, "127.0.0.12", 1, 2, {}});
  EXPECT_EQ(table.OfflineRowText(1, kLinkTcp),
            QStringLiteral("IP:127.0.0.12 -  RL-4800  - Off-line"));
  EXPECT_EQ(table.OfflineRowText(1, kLinkUsb), QStringLiteral("USB -  RL-4800  - Off-line"));
}

TEST(DeviceTable, DemoSetupPerMode) {
  struct Case {
    const char* name;
    int16_t mode;
    bool several;
    int16_t demo_type;
    int slot_count;
    int16_t type;
    const char* first_ip;
  };
  const Case cases[] = {
      {"TcpSeveral", kLinkTcp, true, 0, 5, 3, "192.168.0.1"},
      {"TcpSingle", kLinkTcp, false, 0, 1, 3, "192.168.0.100"},
      {"UsbType2", kLinkUsb, false, 2, 1, 2, "192.168.0 1"},
      {"UsbType1IgnoresSeveral", kLinkUsb, true, 1, 1, 1, "192.168.0 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceTable table;
    const auto filled = table.DemoSetup(c.mode, c.several, c.demo_type);
    for (int slot = 0; slot < kSlotCount; ++slot) {
      SCOPED_TRACE(slot);
      const bool expected = slot < c.slot_count;
      EXPECT_EQ(filled[slot], expected);
      EXPECT_EQ(table[slot].registered, expected);
      EXPECT_FALSE(table[slot].online);  // demo slots never take traffic
      if (!expected) continue;
      EXPECT_EQ(table.device_type[slot], c.type);
      EXPECT_EQ(table.device_name[slot], ModelName(c.type));
      EXPECT_EQ(table[slot].device_id, c.mode == kLinkTcp ? slot : 0);
    }
    EXPECT_EQ(table[0].ip_address, QString::fromLatin1(c.first_ip));
  }
  DeviceTable table;
  table.DemoSetup(kLinkTcp, true, 0);
  EXPECT_EQ(table[4].ip_address, QStringLiteral("192.168.0.5"));
}

}  // namespace
}  // namespace tessaly::comm
