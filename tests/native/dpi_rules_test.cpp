#include "app/dpi_rules.h"

#include <gtest/gtest.h>

#include <climits>

TEST(DpiRules, LengthsScaleToTheNearestPixelAndPicturesPickTheirSet) {
  struct Length {
    int length96, dpi, scaled;
  } const lengths[] = {{180, 96, 180}, {180, 144, 270}, {180, 120, 225}, {12, 144, 18},
                       {16, 192, 32},  {7, 144, 11},    {180, 0, 180},   {-4, 144, -6}};
  for (const Length& c : lengths) {
    EXPECT_EQ(ScaleForDpi(c.length96, c.dpi), c.scaled) << c.length96 << " at " << c.dpi;
  }
  struct Between {
    int length, fromDpi, toDpi, scaled;
  } const betweens[] = {{151, 192, 96, 76},       {-151, 192, 96, -76},     {100, 0, 192, 200},
                        {100, 192, -1, 50},       {INT_MAX, 96, 192, INT_MAX},
                        {INT_MIN, 96, 192, INT_MIN}};
  for (const Between& c : betweens) {
    EXPECT_EQ(ScaleBetweenDpis(c.length, c.fromDpi, c.toDpi), c.scaled)
        << c.length << " from " << c.fromDpi << " to " << c.toDpi;
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
