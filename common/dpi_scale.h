// Lengths between screens of other pixels per inch, 96 being 100%. Platform-free.
#ifndef VELMORA_COMMON_DPI_SCALE_H
#define VELMORA_COMMON_DPI_SCALE_H

enum { kBaseDpi = 96 };

// A length measured at fromDpi, at toDpi: the nearest pixel, halves away from zero, within the
// range of an int. A DPI that is not positive is taken as 96.
int ScaleBetweenDpis(int length, int fromDpi, int toDpi);

#endif
