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

comm::Message EditWindowTooLargeMessage() {
  return {comm::MessageIcon::kInformation, QString::fromLatin1(kStartupTitle),
          QString::fromLatin1(kEditWindowTooLargeText), comm::MessageButtons::kOk};
}

comm::Message MinimumResolutionMessage() {
  return {comm::MessageIcon::kNone, QString::fromLatin1(kMinimumResolutionTitle),
          QString::fromLatin1(kMinimumResolutionText), comm::MessageButtons::kOk};
}

comm::Message SecondInstanceMessage() {
  return {comm::MessageIcon::kCritical, QString::fromLatin1(kStartupTitle),
          QString::fromLatin1(kSecondInstanceText), comm::MessageButtons::kOk};
}

int32_t DecimalCommaFor(const QLocale& locale) {
  return locale.decimalPoint() == QStringLiteral(".") ? 0 : 1;
}

}  // namespace tessaly::app
