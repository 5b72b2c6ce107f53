// Command dispatch, the enabling rules, busy mode and the context menu.
#ifndef VELMORA_APP_COMMANDS_H
#define VELMORA_APP_COMMANDS_H

#include <windows.h>

LRESULT DispatchCommand(HWND window, int id, WPARAM wParam, LPARAM lParam);
LRESULT HandleNotify(HWND window, const NMHDR* header, WPARAM wParam, LPARAM lParam);
void ShowEditContextMenu(HWND window);

void EnableCommand(int id, bool on);
void RefreshCommandState();
void SetBusy(bool on);

// The end of every long operation: progress bar back to 0, then busy mode off.
void FinishLongOperation();

#endif
