// Command dispatch, the enabling rules, busy mode and the context menu.
#ifndef VELMORA_APP_COMMANDS_H
#define VELMORA_APP_COMMANDS_H

#include <windows.h>

LRESULT DispatchCommand(HWND window, int id, WPARAM wParam, LPARAM lParam);
LRESULT HandleNotify(HWND window, const NMHDR* header, WPARAM wParam, LPARAM lParam);
void ShowEditContextMenu(HWND window);

void EnableCommand(int id, bool on);
void RefreshCommandState();
// The start of every long operation: busy mode on, Stop cleared and the only command enabled,
// the display's changes held until the screen is refreshed.
void BeginLongOperation();
// The end of every long operation: the progress bar back to 0, the held display handed over,
// busy mode off and the commands enabled as the document allows.
void EndLongOperation();
// Out of busy mode, as the window starts: Stop grey, the other commands as the document allows.
void EnableIdleCommands();

#endif
