#include "app/StartupChecks.h"

#include <gtest/gtest.h>

namespace tessaly::app {
namespace {

struct ScreenCase {
  ScreenFacts screen;
  int32_t dpi;
  double scale;
  bool too_small_for_editor;
  bool below_minimum;
};

class ScreenChecks : public testing::TestWithParam<ScreenCase> {};

TEST_P(ScreenChecks, DpiAndLimits) {
  const ScreenCase& c = GetParam();
  EXPECT_EQ(ScreenDpiOf(c.screen), c.dpi);
  EXPECT_DOUBLE_EQ(DpiScaleOf(c.screen), c.scale);
  EXPECT_EQ(EditWindowExceedsScreen(c.screen), c.too_small_for_editor);
  EXPECT_EQ(BelowMinimumResolution(c.screen), c.below_minimum);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, ScreenChecks,
    testing::Values(
        // The editors are laid out for exactly this.
        ScreenCase{{1024, 768, 96.0}, 96, 1.0, false, false},
        // Large text makes the same layout 25 % bigger.
        ScreenCase{{1024, 768, 120.0}, 120, 1.25, true, false},
        ScreenCase{{1280, 960, 120.0}, 120, 1.25, false, false},
        ScreenCase{{1280, 959, 120.0}, 120, 1.25, true, false},
        ScreenCase{{1279, 960, 120.0}, 120, 1.25, true, false},
        ScreenCase{{1023, 768, 96.0}, 96, 1.0, true, false},
        ScreenCase{{1024, 767, 96.0}, 96, 1.0, true, false},
        // Small fonts leave room to spare.
        ScreenCase{{800, 600, 72.0}, 72, 0.75, false, false},
        ScreenCase{{1024, 500, 96.0}, 96, 1.0, true, true},
        // At small fonts the editors fit, but the program still wants 800x600.
        ScreenCase{{799, 600, 72.0}, 72, 0.75, false, true},
        ScreenCase{{800, 599, 72.0}, 72, 0.75, false, true},
        // A fractional logical dpi is rounded, as the system reports whole dots per inch.
        ScreenCase{{1920, 1152, 143.6}, 144, 1.5, false, false},
        ScreenCase{{1920, 1080, 144.0}, 144, 1.5, true, false},
        ScreenCase{{2048, 1536, 192.0}, 192, 2.0, false, false}));

TEST(StartupMessages, TextsTitlesIconsAndButtons) {
  const comm::Message edit = EditWindowTooLargeMessage();
  EXPECT_EQ(edit.icon, comm::MessageIcon::kInformation);
  EXPECT_EQ(edit.title, "Tessaly");
  EXPECT_EQ(edit.text,
            "The size of the edit window exceed the size of the monitor\n"
            "please try to set the monitor resolution to 96dpi (small icon)");
  EXPECT_EQ(edit.buttons, comm::MessageButtons::kOk);

  const comm::Message minimum = MinimumResolutionMessage();
  EXPECT_EQ(minimum.title, "Warning");
  EXPECT_EQ(minimum.text, "Minimum display resolution is 800x600");
  EXPECT_EQ(minimum.buttons, comm::MessageButtons::kOk);

  const comm::Message second = SecondInstanceMessage();
  EXPECT_EQ(second.icon, comm::MessageIcon::kCritical);
  EXPECT_EQ(second.title, "Tessaly");
  EXPECT_EQ(second.text, "The Sw PC is already Running, Can't be run again!");
}

TEST(DecimalComma, FollowsTheLocaleDecimalSymbol) {
  const struct {
    QLocale locale;
    int32_t expected;
  } cases[] = {
      {QLocale(QLocale::English, QLocale::UnitedStates), 0},
      {QLocale(QLocale::English, QLocale::UnitedKingdom), 0},
      {QLocale::c(), 0},
      {QLocale(QLocale::German, QLocale::Germany), 1},
      {QLocale(QLocale::Italian, QLocale::Italy), 1},
      {QLocale(QLocale::French, QLocale::France), 1},
      {QLocale(QLocale::German, QLocale::Switzerland), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecimalCommaFor(c.locale), c.expected) << c.locale.name().toStdString();
  }
}

}  // namespace
}  // namespace tessaly::app
