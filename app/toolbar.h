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
// A toolbar for another DPI in place of the old one, its buttons enabled as the old one's were.
HWND RecreateToolbar(HWND parent, HWND old, int dpi);
void DeleteToolbarBrush();

#endif
