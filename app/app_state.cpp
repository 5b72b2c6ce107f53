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
std::string HelpFilePath;

bool BusyFlag = false;

const char kProgramTitle[] = "Velmora";

void ShowError(const char* text) { MessageBoxA(EntryList, text, kProgramTitle, MB_ICONERROR); }
