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

char BaseDirectory[kPathBufferSize] = "";
char CurrentSummaryPath[kPathBufferSize] = "";
char LastBrowseFolder[kPathBufferSize] = "";
char HelpFilePath[kHelpPathSize] = "";

bool ModifiedFlag = false;
bool BusyFlag = false;
bool StopRequested = false;

const char kProgramTitle[] = "Velmora";
const char kUntitledName[] = "untitled.md5";

void ShowError(const char* text) { MessageBoxA(EntryList, text, kProgramTitle, MB_ICONERROR); }
