#include "app/StartupChecks.h"

#include <gtest/gtest.h>

namespace tessaly::app {
namespace {

TEST(StartupChecks, DpiAndScreenLimits) {
  struct Case {
    ScreenFacts screen;
    int32_t dpi;
    double scale;
    bool too_small_for_editor, below_minimum;
  };
  const Case cases[] = {
      // The editors are laid out for exactly this; large text makes the layout 25 % bigger.
      {{1024, 768, 96.0}, 96, 1.0, false, false},
      {{1024, 768, 120.0}, 120, 1.25, true, false},
      {{1280, 960, 120.0}, 120, 1.25, false, false},
      {{1280, 959, 120.0}, 120, 1.25, true, false},
      {{1279, 960, 120.0}, 120, 1.25, true, false},
      {{1023, 768, 96.0}, 96, 1.0, true, false},
      {{1024, 767, 96.0}, 96, 1.0, true, false},
      // Small fonts leave room to spare, but the program still wants 800x600.
      {{800, 600, 72.0}, 72, 0.75, false, false},
      {{1024, 500, 96.0}, 96, 1.0, true, true},
      {{799, 600, 72.0}, 72, 0.75, false, true},
      {{800, 599, 72.0}, 72, 0.75, false, true},
      // A fractional logical dpi is rounded, as the system reports whole dots per inch.
      {{1920, 1152, 143.6}, 144, 1.5, false, false},
      {{1920, 1080, 144.0}, 144, 1.5, true, false},
      {{2048, 1536, 192.0}, 192, 2.0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(ScreenDpiOf(c.screen), c.dpi);
    EXPECT_DOUBLE_EQ(DpiScaleOf(c.screen), c.scale);
    EXPECT_EQ(EditWindowExceedsScreen(c.screen), c.too_small_for_editor);
    EXPECT_EQ(BelowMinimumResolution(c.screen), c.below_minimum);
  }
}

TEST(StartupChecks, DecimalCommaFollowsTheLocaleDecimalSymbol) {
  const std::pair<QLocale, bool> cases[] = {
      {QLocale(QLocale::English, QLocale::UnitedStates), false},
      {QLocale(QLocale::English, QLocale::UnitedKingdom), false},
      {QLocale::c(), false},
      {QLocale(QLocale::German, QLocale::Germany), true},
      {QLocale(QLocale::Italian, QLocale::Italy), true},
      {QLocale(QLocale::French, QLocale::France), true},
      {QLocale(QLocale::German, QLocale::Switzerland), false},
  };
  for (const auto& [locale, expected] : cases) {
    EXPECT_EQ(DecimalCommaFor(locale), expected) << locale.name().toStdString();
  }
}

}  // namespace
}  // namespace tessaly::app
