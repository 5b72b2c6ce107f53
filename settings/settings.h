// The settings file: window placement and column widths, read at start and written at close.
#ifndef VELMORA_SETTINGS_SETTINGS_H
#define VELMORA_SETTINGS_SETTINGS_H

#include <windows.h>

extern const char kSettingsFile[];     // "dorvex.ini", in the Windows directory
extern const char kSettingsSection[];  // "Misc"
extern int ColumnWidths[4];

void ReadSettings(int* x, int* y, int* width, int* height);
void WriteSettings(HWND window);

#endif
