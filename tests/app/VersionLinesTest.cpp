#include "app/VersionLines.h"

#include <gtest/gtest.h>

namespace tessaly::app {
namespace {

// The firmware line is the current device's when it is on-line; only the 540 models have a
// second version line. Another slot's versions never leak in.
TEST(AboutVersions, DeviceLinesFollowTypeAndLink) {
  for (int16_t type = 0; type < 4; ++type) {
    for (const bool online : {true, false}) {
      SCOPED_TRACE(testing::Message() << type << (online ? " on-line" : " off-line"));
      comm::CommState state;
      state.current_device = 7;
      state.table.device_type[7] = type;
      state.table[7].online = online;
      state.table.firmware_version[7] = QStringLiteral("2.0.1");
      state.table.second_version[7] = QStringLiteral("1.4.0");
      state.table[0].online = true;
      state.table.firmware_version[0] = QStringLiteral("9.9.9");
      const bool second = type == 0 || type == 3;
      const VersionLines lines = VersionLinesFor(QStringLiteral("1.3.4"), state);
      EXPECT_EQ(lines.software, "1.3.4");
      EXPECT_EQ(lines.firmware, online ? "2.0.1" : "");
      EXPECT_EQ(lines.second_visible, second);
      EXPECT_EQ(lines.second, online && second ? "1.4.0" : "");
    }
  }
  comm::CommState state;
  state.current_device = 33;  // outside the table: only the software line
  const VersionLines lines = VersionLinesFor(QStringLiteral("1.3.4"), state);
  EXPECT_EQ(lines.software, "1.3.4");
  EXPECT_TRUE(lines.firmware.isEmpty() && lines.second.isEmpty());
}

}  // namespace
}  // namespace tessaly::app
