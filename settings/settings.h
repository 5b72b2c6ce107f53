// The settings file: window placement and column widths, read at start and written at close;
// the kind of digest of a new summary, written when it is chosen.
#ifndef VELMORA_SETTINGS_SETTINGS_H
#define VELMORA_SETTINGS_SETTINGS_H

#include <windows.h>

extern const char kSettingsFile[];     // "dorvex.ini", in the Windows directory
extern const char kSettingsSection[];  // "Misc"
extern int ColumnWidths[4];        // as stored, at ColumnWidthDpi
extern bool ColumnWidthStored[4];  // false: the default, which the window scales to its DPI
extern int ColumnWidthDpi;         // key cwdpi, 96 where the file has none; read by ReadSettings

void ReadSettings(int* x, int* y, int* width, int* height);
// The window's placement, the columns' widths measured at dpi, with that DPI (one left at 0,
// dragged shut or not there, keeps its stored width, brought to dpi) and the recent files.
void WriteSettings(HWND window, const int columnWidths[4], int dpi);

// The kind of digest of a new summary, as key digest names it ("md5", "sha256"; "" when the
// file has none), into value (valueSize bytes, cut as the file's reader cuts it).
void ReadDigestSetting(char* value, unsigned valueSize);
// Remembers it at once, as it is chosen.
void WriteDigestSetting(const char* value);

#endif
