// The real dorvex.exe started as a process of its own, for tests that watch it from outside.
#ifndef VELMORA_TESTS_WIN_RUNNING_PROGRAM_H
#define VELMORA_TESTS_WIN_RUNNING_PROGRAM_H

#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "test_support.h"

namespace testsupport {

inline std::string ProgramPath() {
  std::string path = std::string("Z:") + DORVEX_EXE_UNIX_PATH;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

struct TopWindowSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

inline BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<TopWindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  if (ClassName(window) != search->className) return TRUE;
  search->found = window;
  return FALSE;
}

class RunningProgram {
 public:
  explicit RunningProgram(const std::string& arguments) {
    std::string commandLine = "\"" + ProgramPath() + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> text(commandLine.begin(), commandLine.end());
    text.push_back('\0');
    started_ = CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_) != FALSE;
  }
  ~RunningProgram() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  bool Started() const { return started_; }

  // Waits up to the timeout for a visible top-level window of the class.
  HWND WaitForWindow(const char* className, DWORD timeout = 20000) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
      TopWindowSearch search = {process_.dwProcessId, className, nullptr};
      EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
      if (search.found) return search.found;
      if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

  // Waits until the program has left busy mode: Stop greyed, New enabled on its toolbar.
  bool WaitForIdle(HWND window, DWORD timeout = 60000) {
    HWND toolbar = FindWindowExA(window, nullptr, "ToolbarWindow32", nullptr);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
      if (!SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_STOP, 0) &&
          SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_NEW, 0)) {
        return true;
      }
      Sleep(50);
    }
    return false;
  }

  // The status bar's text, read through a buffer in the program's own memory.
  std::string StatusText(HWND window) {
    HWND status = FindWindowExA(window, nullptr, "msctls_statusbar32", nullptr);
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return "(no buffer)";
    char text[4096] = "";
    SendMessageA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(remote));
    SIZE_T read = 0;
    ReadProcessMemory(process_.hProcess, remote, text, sizeof text - 1, &read);
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return text;
  }

  DWORD WaitForExit(DWORD timeout = 20000) {
    if (WaitForSingleObject(process_.hProcess, timeout) != WAIT_OBJECT_0) return 0xFFFFFFFF;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

}  // namespace testsupport

#endif
