#include "test_support.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app_state.h"
#include "app/entry_view.h"
#include "app/main_window.h"
#include "app/screen_refresh.h"
#include "app/startup.h"
#include "common/bounded_text.h"
#include "digest/read_hook.h"
#include "summary/document_state.h"

namespace testsupport {

namespace {

DialogScript* ActiveScript = nullptr;

void CALLBACK ScriptTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (ActiveScript) ActiveScript->Tick();
}

struct DialogSearch {
  const std::vector<HWND>* handled;
  HWND found;
};

BOOL CALLBACK FindNewDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<DialogSearch*>(lParam);
  if (!IsWindowVisible(window) || ClassName(window) != "#32770") return TRUE;
  for (HWND done : *search->handled) {
    if (done == window) return TRUE;
  }
  search->found = window;
  return FALSE;
}

BOOL CALLBACK AppendControlText(HWND control, LPARAM lParam) {
  std::string text = WindowText(control);
  if (!text.empty() && IsWindowVisible(control)) {
    *reinterpret_cast<std::string*>(lParam) += " [" + text + "]";
  }
  return TRUE;
}

}  // namespace

HWND OpenMainWindow(int x, int y, int width, int height) {
  ResetDocumentState();
  // Tests act at a chosen file or chunk; the paced tests switch back to the program's way.
  SetDisplayPacing(DisplayPacing::kEveryChunk);
  HWND window = CreateMainWindow(x, y, width, height);
  if (window) {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    PumpFor(20);
  }
  return window;
}

void CloseMainWindow() {
  if (!MainWindow) return;
  BusyFlag = false;
  SetModified(false);
  SendMessageA(MainWindow, WM_CLOSE, 0, 0);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message != WM_QUIT) DispatchMessageA(&message);
  }
}

void SendDpiChange(HWND window, int dpi, RECT suggested) {
  SendMessageA(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeout) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeout) return false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeout) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeout) return false;
    Sleep(20);
  }
  return true;
}

void PumpFor(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}

std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ItemText(HWND dialog, int id) {
  char text[1024] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string DialogContents(HWND dialog) {
  std::string contents = "\"" + WindowText(dialog) + "\"";
  EnumChildWindows(dialog, AppendControlText, reinterpret_cast<LPARAM>(&contents));
  return contents;
}

std::string StatusBarText() {
  size_t length = LOWORD(SendMessageA(StatusBar, SB_GETTEXTLENGTHA, 0, 0));
  std::string text(length + 1, '\0');
  SendMessageA(StatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(std::strlen(text.c_str()));
  return text;
}

std::string MainTitle() { return WindowText(MainWindow); }

std::string WindowsPathOf(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

DialogScript::DialogScript(DWORD deadline) : deadline_(deadline) {
  ActiveScript = this;
  timer_ = SetTimer(nullptr, 0, 15, ScriptTimerProc);
}

DialogScript::~DialogScript() {
  KillTimer(nullptr, timer_);
  ActiveScript = nullptr;
}

DialogScript& DialogScript::Then(DialogAction action) {
  actions_.push_back(std::move(action));
  return *this;
}

void DialogScript::Tick() {
  CloseOverdueDialogs();
  std::vector<HWND> handled;
  for (const Answered& answered : answered_) handled.push_back(answered.dialog);
  DialogSearch search = {&handled, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindNewDialog, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  HWND dialog = search.found;
  answered_.push_back({dialog, GetTickCount(), WindowText(dialog)});
  SeenDialog seen;
  seen.title = WindowText(dialog);
  seen.text = ItemText(dialog, 0xFFFF);
  GetWindowRect(dialog, &seen.rect);
  seen_.push_back(seen);
  if (actions_.empty()) {
    ++unexpected_;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  DialogAction action = std::move(actions_.front());
  actions_.pop_front();
  action(dialog);
}

// A dialog that ignored its answer (a file name the dialog refuses, a button it lacks) would
// hold the test until the run's time-out: fail now with what it shows, and end it.
void DialogScript::CloseOverdueDialogs() {
  for (auto it = answered_.begin(); it != answered_.end();) {
    if (!IsWindow(it->dialog)) {
      it = answered_.erase(it);
      continue;
    }
    if (IsWindowVisible(it->dialog) && GetTickCount() - it->answeredAt >= deadline_) {
      ADD_FAILURE() << "the dialog \"" << it->title << "\" was still open " << deadline_
                    << " ms after its answer; it showed: " << DialogContents(it->dialog);
      EndDialog(it->dialog, IDCANCEL);
      it->answeredAt = GetTickCount();  // reported once; ended at the next deadline at worst
    }
    ++it;
  }
}

DialogAction Press(int buttonId) {
  return [buttonId](HWND dialog) { PostMessageA(dialog, WM_COMMAND, buttonId, 0); };
}

DialogAction EnterFileName(const std::string& name) {
  return [name](HWND dialog) {
    SetDlgItemTextA(dialog, 1148, name.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  };
}

DialogAction CheckThenPress(std::function<void(HWND)> check, int buttonId) {
  return [check, buttonId](HWND dialog) {
    check(dialog);
    PostMessageA(dialog, WM_COMMAND, buttonId, 0);
  };
}

ScratchDir::ScratchDir() {
  char base[MAX_PATH];
  GetTempPathA(sizeof base, base);
  static int counter = 0;
  char name[MAX_PATH];
  FormatText(name, sizeof name, "%svt%lu_%d", base, GetCurrentProcessId(), ++counter);
  RemoveTree(name);
  CreateDirectoryA(name, nullptr);
  path_ = name;
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

std::string ScratchDir::File(const std::string& relative) const {
  std::string path = path_ + "\\" + relative;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ScratchDir::Write(const std::string& relative, const std::string& bytes) const {
  std::string path = File(relative);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return path;
}

std::string ScratchDir::MakeDir(const std::string& relative) const {
  std::string path = File(relative);
  CreateDirectoryA(path.c_str(), nullptr);
  return path;
}

void WriteFileWhole(const std::string& path, const std::string& bytes) {
  std::string partial = path + ".partial";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (!file) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
  std::fclose(file);
  return bytes;
}

std::vector<std::string> DirectoryListing(const std::string& directory) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((directory + "\\*.*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA(path.c_str());
}

EntryRecordLimit::EntryRecordLimit(int limit) { LimitEntryRecordsForTests(limit); }
EntryRecordLimit::~EntryRecordLimit() { LimitEntryRecordsForTests(-1); }

void ResetDocumentState() {
  SetBaseDirectory("");
  SetSummaryPath("");
  SetModified(false);
  SetDocumentDigestKind(DigestKind::kMd5);
  BusyFlag = false;
  ClearStopRequest();
}

StartedProcess::StartedProcess(const std::string& commandLine, DWORD creationFlags) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> text(commandLine.begin(), commandLine.end());
  text.push_back('\0');
  started_ = CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                            nullptr, &startup, &process_) != FALSE;
}

StartedProcess::~StartedProcess() {
  if (!started_) return;
  Kill();
  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
}

bool StartedProcess::Running() const {
  return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD StartedProcess::WaitForExit(DWORD timeout) {
  if (!started_ || WaitForSingleObject(process_.hProcess, timeout) != WAIT_OBJECT_0) {
    return 0xFFFFFFFF;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

void StartedProcess::Kill() {
  if (!Running()) return;
  TerminateProcess(process_.hProcess, 99);
  WaitForSingleObject(process_.hProcess, 5000);
}

namespace {

struct TopWindowSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK FindTopWindowOfProcess(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<TopWindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  if (ClassName(window) != search->className) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className) {
  TopWindowSearch search = {processId, className, nullptr};
  EnumWindows(FindTopWindowOfProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace testsupport

namespace {

// Every program this test executable starts (dorvex.exe, the help viewer, and what they start
// in turn) joins a job that ends them when the executable ends, however it ends: a crash or a
// time-out must not leave them running in the run's one wineserver. A test may still start a
// process outside it (CREATE_BREAKAWAY_FROM_JOB).
void EndStartedProgramsWithThisProcess() {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (!job || !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                       sizeof limits) ||
      !AssignProcessToJobObject(job, GetCurrentProcess())) {
    std::fprintf(stderr, "test: programs started by this test are not tied to it (error %lu)\n",
                 GetLastError());
  }
  // The handle stays open until the process ends: its closing is what ends the job.
}

// The settings file has one place in the prefix, shared by every test executable of the run:
// each starts without one, as on a new machine.
void RemoveSettingsFile() {
  char directory[MAX_PATH] = "";
  GetWindowsDirectoryA(directory, sizeof directory);
  DeleteFileA((std::string(directory) + "\\dorvex.ini").c_str());
}

// With VELMORA_TEST_HOLD set, this executable only starts that command line, writes its process
// id to VELMORA_TEST_HOLD_PID_FILE and waits to be killed: the test of the job above.
bool HoldStartedProgram() {
  const char* command = std::getenv("VELMORA_TEST_HOLD");
  const char* pidFile = std::getenv("VELMORA_TEST_HOLD_PID_FILE");
  if (!command || !*command || !pidFile || !*pidFile) return false;
  static testsupport::StartedProcess held(command);
  if (held.Started()) testsupport::WriteFileWhole(pidFile, std::to_string(held.Id()));
  Sleep(INFINITE);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  EndStartedProgramsWithThisProcess();
  if (HoldStartedProgram()) return 0;
  RemoveSettingsFile();
  ::testing::InitGoogleTest(&argc, argv);
  CoInitialize(nullptr);
  InitCommonControls();
  PrepareProcessState(GetModuleHandleA(nullptr));
  RegisterMainWindowClass(GetModuleHandleA(nullptr));
  int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
