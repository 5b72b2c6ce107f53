// Select All, Delete and Copy on the entries the user selected.
#ifndef VELMORA_APP_SELECTION_H
#define VELMORA_APP_SELECTION_H

#include <windows.h>

void SelectAll();
void DeleteSelected(HWND window);
void CopySelected(HWND window);

#endif
