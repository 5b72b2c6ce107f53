// Process-wide state of the one window, each held once. The comments name
// the only writers: everyone else reads.
#ifndef VELMORA_APP_APP_STATE_H
#define VELMORA_APP_APP_STATE_H

#include <windows.h>

#include <string>

// A document path of 260 characters, up to three bytes each in UTF-8, and its terminator.
enum { kPathBufferSize = 3 * MAX_PATH + 1 };

extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern HWND ToolbarWindow;
extern HWND BaseLabel;
extern HWND EntryList;
extern HWND StatusBar;
extern HWND ProgressBar;
extern HMENU MainMenu;
extern HFONT UiFont;
extern int WindowDpi;  // the main window's pixels per inch; main window (creation, DPI change)

extern char LastBrowseFolder[kPathBufferSize];  // start-up, ChooseBaseDirectory, -g
extern std::string HelpFilePath;                // start-up; as long as the program's path

extern bool BusyFlag;  // BeginLongOperation, EndLongOperation, EnableIdleCommands

extern const char kProgramTitle[];  // "Velmora"

// The error box: caption "Velmora", error icon, owned by the entry list.
void ShowError(const char* text);

#endif
