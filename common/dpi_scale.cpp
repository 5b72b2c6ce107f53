#include "common/dpi_scale.h"

#include <climits>

int ScaleBetweenDpis(int length, int fromDpi, int toDpi) {
  if (fromDpi <= 0) fromDpi = kBaseDpi;
  if (toDpi <= 0) toDpi = kBaseDpi;
  const long long scaled = static_cast<long long>(length) * toDpi;
  const long long half = fromDpi / 2;
  const long long rounded = scaled >= 0 ? (scaled + half) / fromDpi : -((-scaled + half) / fromDpi);
  if (rounded > INT_MAX) return INT_MAX;
  if (rounded < INT_MIN) return INT_MIN;
  return static_cast<int>(rounded);
}
