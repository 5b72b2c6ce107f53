#include "app/app_state.h"

HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
HWND ToolbarWindow = nullptr;
HWND BaseLabel = nullptr;
HWND EntryList = nullptr;
HWND StatusBar = nullptr;
HWND ProgressBar = nullptr;
HMENU MainMenu = nullptr;
HFONT UiFont = nullptr;
int WindowDpi = 96;

char LastBrowseFolder[kPathBufferSize] = "";
char HelpFilePath[kHelpPathSize] = "";

bool BusyFlag = false;

const char kProgramTitle[] = "Velmora";

void ShowError(const char* text) { MessageBoxA(EntryList, text, kProgramTitle, MB_ICONERROR); }
