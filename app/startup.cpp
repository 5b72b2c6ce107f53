#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include "app/app_state.h"
#include "app/entry_view.h"
#include "app/main_window.h"
#include "app/operation_display.h"
#include "app/options.h"
#include "app/screen_refresh.h"
#include "app/title.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "common/paths.h"
#include "settings/settings.h"
#include "summary/document_state.h"

const char kUsageText[] = "Usage: dorvex [-g dir_name] [-c dir_name] md5_name";

namespace {

void BuildHelpFilePath() {
  char module[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  if (length == 0 || length >= sizeof module) module[0] = '\0';
  DirectoryOfPath(module);
  JoinPath(module, "dorvex.chm", HelpFilePath, sizeof HelpFilePath);
}

// Through the wide functions: CharLowerA may read the bytes in the locale's code page.
void TakeCurrentDirectoryAsBrowseFolder() {
  wchar_t current[256];
  DWORD length = GetCurrentDirectoryW(256, current);
  if (length == 0 || length >= 256) current[0] = L'\0';
  CharLowerW(current);
  if (!WideToProcessText(current, LastBrowseFolder, sizeof LastBrowseFolder)) {
    LastBrowseFolder[0] = '\0';
  }
}

int RunMessageLoop(HACCEL accelerators) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMainLoopMessage(accelerators, &message);
  return 0;
}

}  // namespace

void PrepareProcessState(HINSTANCE instance) {
  AppInstance = instance;
  SetPathCaseCompare(LocaleCaseCompare);
  // The document and the reading below report to the window through these.
  InstallReadDisplay();
  InstallDocumentDisplay();
  InstallEntryView();
  InstallOperationDisplay();
  BuildHelpFilePath();
  TakeCurrentDirectoryAsBrowseFolder();
}

void DispatchMainLoopMessage(HACCEL accelerators, MSG* message) {
  if (MainWindow && TranslateAcceleratorA(MainWindow, accelerators, message)) return;
  TranslateMessage(message);
  DispatchMessageA(message);
}

int RunApplication(HINSTANCE instance, char* commandLine, int showCommand) {
  StartupRequest request;
  if (!ParseCommandLine(commandLine, &request)) {
    MessageBoxA(nullptr, kUsageText, kProgramTitle, MB_ICONERROR);
    return 1;  // nothing else has been started yet
  }
  PrepareProcessState(instance);
  bool comStarted = CoInitialize(nullptr) == S_OK;
  RegisterMainWindowClass(instance);
  SetModified(false);
  SetSummaryPath("");
  InitCommonControls();
  int x, y, width, height;
  ReadSettings(&x, &y, &width, &height);
  HWND window = CreateMainWindow(x, y, width, height);
  int exitCode = 1;
  if (window) {
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    HACCEL accelerators = LoadAcceleratorsA(instance, "dorvex");
    if (DocumentWindowsExist()) {
      RunStartupAction(window, request.generateDirectory, request.checkDirectory,
                       request.summaryName);
    }
    exitCode = RunMessageLoop(accelerators);
  }
  if (comStarted) CoUninitialize();
  FreeStartupRequest(&request);
  return exitCode;
}
