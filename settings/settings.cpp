#include "settings/settings.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "common/bounded_text.h"
#include "settings/placement.h"
#include "settings/recent_files.h"

const char kSettingsFile[] = "dorvex.ini";
const char kSettingsSection[] = "Misc";
int ColumnWidths[4] = {kDefaultColumnWidth, kDefaultColumnWidth, kDefaultColumnWidth,
                       kDefaultColumnWidth};

namespace {

int ReadInteger(const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(kSettingsSection, key, fallback, kSettingsFile));
}

void WriteInteger(const char* key, int value) {
  char text[16];
  FormatText(text, sizeof text, "%d", value);
  WritePrivateProfileStringA(kSettingsSection, key, text, kSettingsFile);
}

void WritePlacement(const RECT& rect) {
  WriteInteger("x", rect.left);
  WriteInteger("y", rect.top);
  WriteInteger("nx", rect.right - rect.left);
  WriteInteger("ny", rect.bottom - rect.top);
}

void WriteColumnWidths() {
  if (!EntryList) return;
  for (int column = 0; column < 4; ++column) {
    int width = static_cast<int>(SendMessageA(EntryList, LVM_GETCOLUMNWIDTH, column, 0));
    char key[8];
    FormatText(key, sizeof key, "cw%d", column);
    if (width > 0) WriteInteger(key, width);  // a column dragged shut keeps its stored width
  }
}

}  // namespace

void ReadSettings(int* x, int* y, int* width, int* height) {
  *x = ReadInteger("x", -1);
  *y = ReadInteger("y", -1);
  *width = ReadInteger("nx", -1);
  *height = ReadInteger("ny", -1);
  if (!IsPlacementUsable(*x, *y, *width, *height, GetSystemMetrics(SM_CXSCREEN),
                         GetSystemMetrics(SM_CYSCREEN))) {
    *x = *y = *width = *height = CW_USEDEFAULT;
  }
  for (int column = 0; column < 4; ++column) {
    char key[8];
    FormatText(key, sizeof key, "cw%d", column);
    ColumnWidths[column] = ColumnWidthFromSetting(ReadInteger(key, 0));
  }
  ReadRecentFiles();
}

void WriteSettings(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  SettingsWrite decision =
      DecideSettingsWrite(IsZoomed(window) != FALSE, IsIconic(window) != FALSE, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top);
  if (decision == kWriteNothing) return;
  if (decision == kWritePlacementAndRest) WritePlacement(rect);
  WriteColumnWidths();
  WriteRecentFiles();
}
