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
HWND CreateToolbar(HWND parent);
void DeleteToolbarBrush();

#endif
