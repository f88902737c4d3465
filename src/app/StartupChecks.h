#pragma once

#include <QList>
#include <QLocale>
#include <cstdint>

#include "device/Messenger.h"

namespace tessaly::app {

// What the start-up checks need to know about the display. Read from the primary screen in the
// application; tests play any screen they like.
struct ScreenFacts {
  int width_px = 0;
  int height_px = 0;
  // Horizontal logical dots per inch, the figure the user's "text size" setting changes.
  double dpi_x = 96.0;
};

ScreenFacts PrimaryScreenFacts();

inline constexpr const char* kStartupTitle = "Tessaly";
inline constexpr const char* kSecondInstanceText =
    "The Sw PC is already Running, Can't be run again!";
inline constexpr const char* kEditWindowTooLargeText =
    "The size of the edit window exceed the size of the monitor\n"
    "please try to set the monitor resolution to 96dpi (small icon)";
inline constexpr const char* kMinimumResolutionTitle = "Warning";
inline constexpr const char* kMinimumResolutionText = "Minimum display resolution is 800x600";

int32_t ScreenDpiOf(const ScreenFacts& screen);
double DpiScaleOf(const ScreenFacts& screen);

// The editor windows are laid out for 1024x768 at 96 dpi; a larger text size needs that much more
// screen.
bool EditWindowExceedsScreen(const ScreenFacts& screen);
bool BelowMinimumResolution(const ScreenFacts& screen);

device::Message EditWindowTooLargeMessage();
device::Message MinimumResolutionMessage();
device::Message SecondInstanceMessage();

// True when the locale's decimal separator is anything but ".".
bool DecimalCommaFor(const QLocale& locale);

}  // namespace tessaly::app
