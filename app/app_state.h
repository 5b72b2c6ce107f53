// Process-wide state of the one window and its document, each held once. The comments name
// the only writers: everyone else reads.
#ifndef VELMORA_APP_APP_STATE_H
#define VELMORA_APP_APP_STATE_H

#include <windows.h>

// A document path of 260 characters, up to three bytes each in UTF-8, and its terminator.
enum { kPathBufferSize = 3 * MAX_PATH + 1, kHelpPathSize = MAX_PATH };

extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern HWND ToolbarWindow;
extern HWND BaseLabel;
extern HWND EntryList;
extern HWND StatusBar;
extern HWND ProgressBar;
extern HMENU MainMenu;
extern HFONT UiFont;

extern char BaseDirectory[kPathBufferSize];       // ShowBaseDirectory
extern char CurrentSummaryPath[kPathBufferSize];  // UpdateTitle
extern char LastBrowseFolder[kPathBufferSize];    // start-up, SetBaseDirectory, -g
extern char HelpFilePath[kHelpPathSize];          // start-up

extern bool ModifiedFlag;
extern bool BusyFlag;       // SetBusy
extern bool StopRequested;  // Stop command; cleared by SetBusy(true)

extern const char kProgramTitle[];  // "Velmora"
extern const char kUntitledName[];  // "untitled.md5"

// The error box: caption "Velmora", error icon, owned by the entry list.
void ShowError(const char* text);

#endif
