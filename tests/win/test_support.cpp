#include "test_support.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/screen_refresh.h"
#include "app/startup.h"
#include "common/bounded_text.h"
#include "summary/entry_list.h"

namespace testsupport {

namespace {

DialogScript* ActiveScript = nullptr;

void CALLBACK ScriptTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (ActiveScript) ActiveScript->Tick();
}

struct DialogSearch {
  std::vector<HWND>* handled;
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
  ModifiedFlag = false;
  SendMessageA(MainWindow, WM_CLOSE, 0, 0);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message != WM_QUIT) DispatchMessageA(&message);
  }
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

DialogScript::DialogScript() {
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
  DialogSearch search = {&handled_, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindNewDialog, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  HWND dialog = search.found;
  handled_.push_back(dialog);
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

void ResetDocumentState() {
  BaseDirectory[0] = '\0';
  CurrentSummaryPath[0] = '\0';
  ModifiedFlag = false;
  BusyFlag = false;
  StopRequested = false;
}

}  // namespace testsupport

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  CoInitialize(nullptr);
  InitCommonControls();
  PrepareProcessState(GetModuleHandleA(nullptr));
  RegisterMainWindowClass(GetModuleHandleA(nullptr));
  int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
