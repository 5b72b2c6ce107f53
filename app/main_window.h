// The main window: its procedure, class, children and layout.
#ifndef VELMORA_APP_MAIN_WINDOW_H
#define VELMORA_APP_MAIN_WINDOW_H

#include <windows.h>

extern const char kMainClassName[];  // "dorvex"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(int x, int y, int width, int height);

// Creates the five children in their fixed order; false when any is missing.
bool CreateChildWindows(HWND window);
// Destroys the children with their font and the toolbar's brush; the document stays.
void DestroyChildWindows();
bool DocumentWindowsExist();  // label, list view, status bar and progress bar
void LayoutChildren(int width, int height);
int ScreenDpiY();
// The window's pixels per inch where the system tells each window's, else the screen's.
int DpiOfWindow(HWND window);
// Fonts, pictures and column widths drawn anew for another DPI (the layout follows on WM_SIZE).
void ApplyWindowDpi(int dpi);
// Writes the settings file from the window and its list, as closing does.
void SaveWindowSettings(HWND window);

#endif
