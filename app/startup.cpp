#include "app/startup.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/entry_view.h"
#include "app/main_window.h"
#include "app/operation_display.h"
#include "app/options.h"
#include "app/screen_refresh.h"
#include "app/title.h"
#include "common/code_pages.h"
#include "common/paths.h"
#include "common/utf8_text.h"
#include "settings/settings.h"
#include "summary/document_state.h"

const char kUsageText[] = "Usage: dorvex [-g dir_name] [-c dir_name] md5_name";

namespace {

// The longest path the system takes, in UTF-16 units.
const DWORD kLongestPath = 32768;

// The program's own path in the process code page, however long ("" when it cannot be read).
// The ANSI form would cut it at MAX_PATH bytes, which a UTF-8 path reaches long before the
// system's limit.
std::string ProgramFilePath() {
  std::wstring wide(MAX_PATH, L'\0');
  DWORD length;
  // A path cut to the buffer comes back as long as the buffer.
  while ((length = GetModuleFileNameW(nullptr, &wide[0], static_cast<DWORD>(wide.size()))) >=
         wide.size()) {
    if (wide.size() >= kLongestPath) return std::string();
    wide.resize(wide.size() * 2);
  }
  if (length == 0) return std::string();
  wide.resize(length);
  std::string path(wide.size() * kUtf8BytesPerUnit + 1, '\0');
  if (!WideToProcessText(wide.c_str(), &path[0], path.size())) return std::string();
  path.resize(std::strlen(path.c_str()));
  return path;
}

void BuildHelpFilePath() {
  std::string directory = ProgramFilePath();
  DirectoryOfPath(&directory[0]);
  const char kHelpName[] = "dorvex.chm";
  std::string path(std::strlen(directory.c_str()) + sizeof kHelpName + 1, '\0');
  JoinPath(directory.c_str(), kHelpName, &path[0], path.size());
  HelpFilePath = path.c_str();
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
