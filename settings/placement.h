// Rules for the window placement and column widths kept in the settings file.
#ifndef VELMORA_SETTINGS_PLACEMENT_H
#define VELMORA_SETTINGS_PLACEMENT_H

enum { kMinWindowExtent = 5, kDefaultColumnWidth = 180 };

// Whether a stored placement may be used on a screen of the given size; otherwise the
// system chooses position and size.
bool IsPlacementUsable(int x, int y, int width, int height, int screenWidth, int screenHeight);

// A stored column width, or the default where nothing positive is stored.
int ColumnWidthFromSetting(int stored);

// A positive width stored at storedDpi, for a window at dpi; never under 1, so a stored column
// does not come back shut. A stored DPI that no screen has (earlier versions store none, and
// their widths read as 96) is taken as 96.
int ColumnWidthAtDpi(int stored, int storedDpi, int dpi);

enum SettingsWrite {
  kWriteNothing,          // the window stands off the primary display: leave the file alone
  kWriteAllButPlacement,  // maximised or minimised: keep the earlier placement
  kWritePlacementAndRest
};

// What closing the window writes, from its state and its window rectangle.
SettingsWrite DecideSettingsWrite(bool maximised, bool minimised, int left, int top, int width,
                                  int height);

#endif
