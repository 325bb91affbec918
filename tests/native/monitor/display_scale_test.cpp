// Pixel sizes at other display scales, and the toolbar drawing each scale takes.
#include "monitor/app/display_scale.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayScale, SizesScaleRoundedAndTheToolbarTakesTheNearestDrawing) {
  const struct {
    int value;
    unsigned dpi;
    int scaled;
  } sizes[] = {{18, 96, 18}, {18, 144, 27}, {18, 192, 36}, {23, 120, 29}, {15, 144, 23},
               {1, 144, 2},  {0, 192, 0},   {-5, 192, -5}, {18, 0, 18},   {22, 288, 66}};
  for (const auto& c : sizes) EXPECT_EQ(display_scale::Scaled(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
  const struct {
    unsigned dpi;
    int size, width, height;
  } toolbars[] = {{96, 16, 16, 15}, {119, 16, 16, 15}, {120, 24, 24, 22}, {144, 24, 24, 22},
                  {167, 24, 24, 22}, {168, 32, 32, 30}, {192, 32, 32, 30}, {480, 32, 32, 30}};
  for (const auto& c : toolbars) {
    const display_scale::ToolbarImages images = display_scale::ToolbarImagesFor(c.dpi);
    EXPECT_EQ(images.size, c.size) << c.dpi;
    EXPECT_EQ(images.width, c.width) << c.dpi;
    EXPECT_EQ(images.height, c.height) << c.dpi;
  }
}

}  // namespace
