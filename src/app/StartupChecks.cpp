#include "app/StartupChecks.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "app/AppState.h"

namespace tessaly::app {

ScreenFacts PrimaryScreenFacts() {
  ScreenFacts facts;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return facts;
  // Qt scales by the system text size itself; undo that to get the monitor's own pixels and the
  // system dpi setting, which is what the layout limits are about.
  const qreal ratio = screen->devicePixelRatio();
  const QSize size = screen->size() * ratio;
  facts.width_px = size.width();
  facts.height_px = size.height();
  facts.dpi_x = screen->logicalDotsPerInchX() * ratio;
  return facts;
}

int32_t ScreenDpiOf(const ScreenFacts& screen) {
  return static_cast<int32_t>(std::lround(screen.dpi_x));
}

double DpiScaleOf(const ScreenFacts& screen) {
  return static_cast<double>(ScreenDpiOf(screen)) / kReferenceDpi;
}

bool EditWindowExceedsScreen(const ScreenFacts& screen) {
  const double scale = DpiScaleOf(screen);
  return screen.width_px < 1024 * scale || screen.height_px < 768 * scale;
}

bool BelowMinimumResolution(const ScreenFacts& screen) {
  return screen.width_px < 800 || screen.height_px < 600;
}

device::Message EditWindowTooLargeMessage() {
  return {device::MessageIcon::kInformation, QString::fromLatin1(kStartupTitle),
          QString::fromLatin1(kEditWindowTooLargeText), device::MessageButtons::kOk};
}

device::Message MinimumResolutionMessage() {
  return {device::MessageIcon::kNone, QString::fromLatin1(kMinimumResolutionTitle),
          QString::fromLatin1(kMinimumResolutionText), device::MessageButtons::kOk};
}

device::Message SecondInstanceMessage() {
  return {device::MessageIcon::kCritical, QString::fromLatin1(kStartupTitle),
          QString::fromLatin1(kSecondInstanceText), device::MessageButtons::kOk};
}

bool DecimalCommaFor(const QLocale& locale) { return locale.decimalPoint() != QStringLiteral("."); }

}  // namespace tessaly::app
