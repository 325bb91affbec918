// How the monitor's pixel sizes follow the display scale: sizes are written for 96 DPI and scaled
// to the window's DPI; the toolbar takes the drawing made for the nearest scale. Portable: no
// Windows header, so the rules are tested natively.
#pragma once

namespace display_scale {

constexpr unsigned kBaseDpi = 96;

// `value` pixels at 96 DPI, at `dpi`, rounded to the nearest pixel; 0 or less stays as it is.
int Scaled(int value, unsigned dpi);

// The toolbar drawing for a DPI: 16 x 15 up to 119 DPI, 24 x 22 up to 167, 32 x 30 above.
struct ToolbarImages {
  int size;  // 16, 24 or 32: which strip
  int width;
  int height;
};
ToolbarImages ToolbarImagesFor(unsigned dpi);

// A toolbar button at 96 DPI: the image and the control's frame around it.
constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;

}  // namespace display_scale
