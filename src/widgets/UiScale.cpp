#include "widgets/UiScale.h"

#include <algorithm>

namespace tessaly::widgets {
namespace {
double ui_scale = 1.0;
}  // namespace

double UiScale() { return ui_scale; }

void SetUiScale(double scale) { ui_scale = std::clamp(scale, 0.5, 4.0); }

}  // namespace tessaly::widgets
