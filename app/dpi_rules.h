// Sizes at a screen's pixels per inch, 96 being 100%. Platform-free.
#ifndef VELMORA_APP_DPI_RULES_H
#define VELMORA_APP_DPI_RULES_H

#include "common/dpi_scale.h"

// A length of the 96-DPI layout at dpi, rounded to the nearest pixel.
int ScaleForDpi(int length96, int dpi);

// Which drawn set of pictures a screen gets: 100, 150 or 200 (percent). Each set is used from
// the point halfway to the next, so a picture is never shrunk by more than a little.
int PictureScale(int dpi);

// A picture's side in a set: 16x15 is 24x23 at 150% (the half pixel kept) and 32x30 at 200%.
int PictureSide(int side100, int scale);

#endif
