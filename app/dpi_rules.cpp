#include "app/dpi_rules.h"

int ScaleForDpi(int length96, int dpi) { return ScaleBetweenDpis(length96, kBaseDpi, dpi); }

int PictureScale(int dpi) {
  if (dpi < 120) return 100;  // up to 125%
  if (dpi < 168) return 150;  // up to 175%
  return 200;
}

int PictureSide(int side100, int scale) { return (side100 * scale + 99) / 100; }
