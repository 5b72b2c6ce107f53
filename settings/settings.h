// The settings file: window placement and column widths, read at start and written at close.
#ifndef VELMORA_SETTINGS_SETTINGS_H
#define VELMORA_SETTINGS_SETTINGS_H

#include <windows.h>

extern const char kSettingsFile[];     // "dorvex.ini", in the Windows directory
extern const char kSettingsSection[];  // "Misc"
extern int ColumnWidths[4];
extern bool ColumnWidthStored[4];  // false: the default, which the window scales to its DPI

void ReadSettings(int* x, int* y, int* width, int* height);
// The window's placement, the columns' widths (one left at 0, dragged shut or not there, keeps
// its stored width) and the recent files.
void WriteSettings(HWND window, const int columnWidths[4]);

#endif
