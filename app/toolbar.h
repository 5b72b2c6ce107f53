// The toolbar: its 21 slots, tooltips and the optional hot images and background.
#ifndef VELMORA_APP_TOOLBAR_H
#define VELMORA_APP_TOOLBAR_H

#include <windows.h>

struct ToolbarSlot {
  int commandId;  // -1 for a separator
  const char* tooltip;
};

enum { kToolbarSlotCount = 21 };
extern const ToolbarSlot ToolbarButtonTable[kToolbarSlotCount];

const char* LookupTooltipText(int commandId);
DWORD ComctlVersion();
// The toolbar with pictures drawn for the DPI.
HWND CreateToolbar(HWND parent, int dpi);
// The same toolbar drawn for another DPI: its pictures replaced, its buttons as they were.
// It stays the same window, as a command started from one of its buttons may still be running
// inside the toolbar's own handler.
void ApplyToolbarDpi(HWND toolbar, int dpi);
void DeleteToolbarBrush();

#endif
