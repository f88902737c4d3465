#include "app/VersionLines.h"

#include <gtest/gtest.h>

namespace tessaly::app {
namespace {

struct VersionCase {
  int16_t type;
  bool online;
  const char* firmware;
  bool second_visible;
  const char* second;
};

class AboutVersions : public testing::TestWithParam<VersionCase> {};

TEST_P(AboutVersions, DeviceLinesFollowTypeAndLink) {
  const VersionCase& c = GetParam();
  comm::CommState state;
  state.current_device = 7;
  state.table.device_type[7] = c.type;
  state.table[7].online = c.online;
  state.table.firmware_version[7] = QStringLiteral("2.0.1");
  state.table.second_version[7] = QStringLiteral("1.4.0");
  // Another slot's versions must never leak into the window.
  state.table[0].online = true;
  state.table.firmware_version[0] = QStringLiteral("9.9.9");

  const VersionLines lines = VersionLinesFor(QStringLiteral("1.3.4"), state);
  EXPECT_EQ(lines.software, "1.3.4");
  EXPECT_EQ(lines.firmware, QString::fromLatin1(c.firmware));
  EXPECT_EQ(lines.second_visible, c.second_visible);
  EXPECT_EQ(lines.second, QString::fromLatin1(c.second));
}

INSTANTIATE_TEST_SUITE_P(Types, AboutVersions,
                         testing::Values(VersionCase{0, true, "2.0.1", true, "1.4.0"},
                                         VersionCase{0, false, "", true, ""},
                                         VersionCase{1, true, "2.0.1", false, ""},
                                         VersionCase{1, false, "", false, ""},
                                         VersionCase{2, true, "2.0.1", false, ""},
                                         VersionCase{2, false, "", false, ""},
                                         VersionCase{3, true, "2.0.1", true, "1.4.0"},
                                         VersionCase{3, false, "", true, ""}));

TEST(AboutVersions, CurrentDeviceOutsideTheTableShowsOnlyTheSoftware) {
  comm::CommState state;
  state.current_device = 33;
  const VersionLines lines = VersionLinesFor(QStringLiteral("1.3.4"), state);
  EXPECT_EQ(lines.software, "1.3.4");
  EXPECT_TRUE(lines.firmware.isEmpty());
  EXPECT_TRUE(lines.second.isEmpty());
}

}  // namespace
}  // namespace tessaly::app
