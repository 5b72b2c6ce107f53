// The real dorvex.exe started as a process of its own, for tests that watch it from outside.
#ifndef VELMORA_TESTS_WIN_RUNNING_PROGRAM_H
#define VELMORA_TESTS_WIN_RUNNING_PROGRAM_H

#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <string>

#include "resources/resource.h"
#include "test_support.h"

namespace testsupport {

inline std::string ProgramPath() { return WindowsPathOf(DORVEX_EXE_UNIX_PATH); }

class RunningProgram : public StartedProcess {
 public:
  explicit RunningProgram(const std::string& arguments)
      : RunningProgram(ProgramPath(), arguments) {}
  // A copy of the program elsewhere.
  RunningProgram(const std::string& program, const std::string& arguments)
      : StartedProcess("\"" + program + "\" " + arguments) {}

  // Waits up to the timeout for a visible top-level window of the class; none if the program
  // ends first.
  HWND WaitForWindow(const char* className, DWORD timeout = 20000) {
    HWND found = nullptr;
    WaitUntil([&] {
      found = FindProcessWindow(Id(), className);
      return found != nullptr || !Running();
    }, timeout);
    return found;
  }

  // Waits until the program has left busy mode: Stop greyed, New enabled on its toolbar.
  bool WaitForIdle(HWND window, DWORD timeout = 60000) {
    HWND toolbar = FindWindowExA(window, nullptr, "ToolbarWindow32", nullptr);
    return WaitUntil([toolbar] {
      return !SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_STOP, 0) &&
             SendMessageA(toolbar, TB_ISBUTTONENABLED, IDM_NEW, 0);
    }, timeout);
  }

  // The status bar's text, read through a buffer in the program's own memory.
  std::string StatusText(HWND window) {
    HWND status = FindWindowExA(window, nullptr, "msctls_statusbar32", nullptr);
    void* remote = VirtualAllocEx(Handle(), nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return "(no buffer)";
    char text[4096] = "";
    SendMessageA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(remote));
    SIZE_T read = 0;
    ReadProcessMemory(Handle(), remote, text, sizeof text - 1, &read);
    VirtualFreeEx(Handle(), remote, 0, MEM_RELEASE);
    return text;
  }

  // Answers the program's dialog from outside; a dialog still open kDialogDeadline after the
  // answer fails the test with what it showed (the program ends with the test).
  void Answer(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, buttonId, 0);
    if (!WaitUntil([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); },
                   kDialogDeadline)) {
      ADD_FAILURE() << "the dialog was still open " << kDialogDeadline
                    << " ms after its answer; it showed: " << DialogContents(dialog);
    }
  }
};

}  // namespace testsupport

#endif
