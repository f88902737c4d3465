#include "widgets/Theme.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleHints>
#include <algorithm>
#include <cmath>

namespace tessaly::widgets {
namespace {
constexpr QPalette::ColorRole kTextRoles[] = {QPalette::WindowText, QPalette::Text,
                                              QPalette::ButtonText, QPalette::HighlightedText,
                                              QPalette::BrightText};

void SetBoth(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
  palette.setColor(QPalette::Active, role, color);
  palette.setColor(QPalette::Inactive, role, color);
}

ColorScheme SystemColorScheme() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
  if (QGuiApplication::styleHints()->colorScheme() == Qt::ColorScheme::Light) {
    return ColorScheme::kLight;
  }
#endif
  return ColorScheme::kDark;
}

double Luminance(const QColor& c) {
  const auto linear = [](double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void ApplyPalette() {
  QApplication::setPalette(WantedColorScheme() == ColorScheme::kLight ? LightPalette()
                                                                      : DarkPalette());
}
}  // namespace

QPalette DarkPalette() {
  const QColor window(0x2b, 0x2d, 0x31);
  const QColor base(0x1e, 0x1f, 0x22);
  const QColor button(0x3a, 0x3d, 0x42);
  const QColor text(0xe3, 0xe5, 0xe8);
  const QColor highlight(0x2f, 0x8f, 0xd8);
  QPalette palette(window);
  SetBoth(palette, QPalette::Window, window);
  SetBoth(palette, QPalette::WindowText, text);
  SetBoth(palette, QPalette::Base, base);
  SetBoth(palette, QPalette::AlternateBase, window.darker(110));
  SetBoth(palette, QPalette::Text, text);
  SetBoth(palette, QPalette::Button, button);
  SetBoth(palette, QPalette::ButtonText, text);
  SetBoth(palette, QPalette::BrightText, QColor(0xff, 0x6b, 0x5e));
  SetBoth(palette, QPalette::Highlight, highlight);
  SetBoth(palette, QPalette::HighlightedText, Qt::white);
  SetBoth(palette, QPalette::ToolTipBase, QColor(0x45, 0x48, 0x4e));
  SetBoth(palette, QPalette::ToolTipText, text);
  SetBoth(palette, QPalette::PlaceholderText, text.darker(160));
  SetBoth(palette, QPalette::Link, highlight.lighter(130));
  // The bevel roles follow the window so frames and sliders keep their depth on a dark ground.
  SetBoth(palette, QPalette::Light, window.lighter(160));
  SetBoth(palette, QPalette::Midlight, window.lighter(130));
  SetBoth(palette, QPalette::Mid, window.darker(130));
  SetBoth(palette, QPalette::Dark, window.darker(160));
  SetBoth(palette, QPalette::Shadow, window.darker(300));

  // Left to Qt, disabled texts on a dark palette come out as dark as the ground under them.
  for (int role = 0; role < QPalette::NColorRoles; ++role) {
    const auto color_role = static_cast<QPalette::ColorRole>(role);
    palette.setColor(QPalette::Disabled, color_role, palette.color(QPalette::Active, color_role));
  }
  const QColor dim_text(0x7c, 0x80, 0x87);
  for (const QPalette::ColorRole role : kTextRoles) {
    palette.setColor(QPalette::Disabled, role, dim_text);
  }
  palette.setColor(QPalette::Disabled, QPalette::Button, window);
  palette.setColor(QPalette::Disabled, QPalette::Base, window);
  palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x4a, 0x4d, 0x52));
  return palette;
}

QPalette LightPalette() {
  QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
  QPalette palette = fusion->standardPalette();
  delete fusion;
  // Fusion's own disabled grey is too faint on its light ground.
  for (const QPalette::ColorRole role : kTextRoles) {
    palette.setColor(QPalette::Disabled, role, QColor(0x8c, 0x8c, 0x8c));
  }
  return palette;
}

QColor ReadableOn(const QColor& colour, const QColor& ground) {
  constexpr double kLeast = 3.5;
  const QColor towards = Luminance(ground) < 0.2 ? QColor(Qt::white) : QColor(Qt::black);
  QColor mixed = colour;
  for (int step = 1; step <= 10 && Contrast(mixed, ground) < kLeast; ++step) {
    const double t = step / 10.0;
    mixed = QColor::fromRgbF(static_cast<float>(colour.redF() * (1 - t) + towards.redF() * t),
                             static_cast<float>(colour.greenF() * (1 - t) + towards.greenF() * t),
                             static_cast<float>(colour.blueF() * (1 - t) + towards.blueF() * t));
  }
  return mixed;
}

ColorScheme WantedColorScheme() {
  const QByteArray wanted = qgetenv("TESSALY_COLOR_SCHEME").trimmed().toLower();
  if (wanted == "light") return ColorScheme::kLight;
  if (wanted == "dark") return ColorScheme::kDark;
  return SystemColorScheme();
}

void ApplyTheme(QApplication& app) {
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  ApplyPalette();
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
  QObject::connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, &app,
                   [](Qt::ColorScheme) { ApplyPalette(); });
#else
  Q_UNUSED(app);
#endif
}

}  // namespace tessaly::widgets
