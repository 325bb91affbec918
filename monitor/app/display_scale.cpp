// Scaling of pixel sizes and the choice of the toolbar drawing.
#include "monitor/app/display_scale.h"

namespace display_scale {

int Scaled(int value, unsigned dpi) {
  if (value <= 0 || dpi == 0) return value;
  return static_cast<int>((static_cast<long long>(value) * dpi + kBaseDpi / 2) / kBaseDpi);
}

ToolbarImages ToolbarImagesFor(unsigned dpi) {
  if (dpi < 120) return {16, 16, 15};
  if (dpi < 168) return {24, 24, 22};
  return {32, 32, 30};
}

}  // namespace display_scale
