#include "app/dpi_rules.h"

#include <gtest/gtest.h>

TEST(DpiRules, LengthsScaleToTheNearestPixelAndPicturesPickTheirSet) {
  struct Length {
    int length96, dpi, scaled;
  } const lengths[] = {{180, 96, 180}, {180, 144, 270}, {180, 120, 225}, {12, 144, 18},
                       {16, 192, 32},  {7, 144, 11},    {180, 0, 180},   {-4, 144, -6}};
  for (const Length& c : lengths) {
    EXPECT_EQ(ScaleForDpi(c.length96, c.dpi), c.scaled) << c.length96 << " at " << c.dpi;
  }
  struct Set {
    int dpi, scale;
  } const sets[] = {{72, 100}, {96, 100}, {119, 100}, {120, 150}, {144, 150},
                    {167, 150}, {168, 200}, {192, 200}, {288, 200}};
  for (const Set& c : sets) EXPECT_EQ(PictureScale(c.dpi), c.scale) << c.dpi;
  EXPECT_EQ(PictureSide(16, 150), 24);
  EXPECT_EQ(PictureSide(15, 150), 23);
  EXPECT_EQ(PictureSide(15, 200), 30);
  EXPECT_EQ(PictureSide(20, 100), 20);
}
