#include "settings/placement.h"

#include "common/dpi_scale.h"

namespace {

// No screen sets a DPI below half or above ten times 100%.
const int kLowestStoredDpi = 48;
const int kHighestStoredDpi = 960;

}  // namespace

bool IsPlacementUsable(int x, int y, int width, int height, int screenWidth, int screenHeight) {
  // The upper edges are tested against the screen only; width and height have no upper bound.
  return x >= 0 && x < screenWidth - kMinWindowExtent && y >= 0 &&
         y < screenHeight - kMinWindowExtent && width >= kMinWindowExtent &&
         height >= kMinWindowExtent;
}

int ColumnWidthFromSetting(int stored) { return stored > 0 ? stored : kDefaultColumnWidth; }

int ColumnWidthAtDpi(int stored, int storedDpi, int dpi) {
  if (storedDpi < kLowestStoredDpi || storedDpi > kHighestStoredDpi) storedDpi = kBaseDpi;
  const int width = ScaleBetweenDpis(stored, storedDpi, dpi);
  return width > 0 ? width : 1;
}

SettingsWrite DecideSettingsWrite(bool maximised, bool minimised, int left, int top, int width,
                                  int height) {
  if (maximised || minimised) return kWriteAllButPlacement;
  if (left < 0 || top < 0 || width < kMinWindowExtent || height < kMinWindowExtent) {
    return kWriteNothing;
  }
  return kWritePlacementAndRest;
}
