// The real dorvex.exe started as a process of its own, watched from outside.
#include <string>

#include "test_support.h"

using namespace testsupport;

namespace {

std::string ProgramPath() {
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

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM lParam) {
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

std::string UsageShownFor(const std::string& arguments, DWORD* exitCode) {
  RunningProgram program(arguments);
  EXPECT_TRUE(program.Started());
  HWND box = program.WaitForWindow("#32770");
  if (!box) return "(no box)";
  std::string text = ItemText(box, 0xFFFF);
  EXPECT_EQ(WindowText(box), "Velmora");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  *exitCode = program.WaitForExit();
  return text;
}

TEST(CommandLine, MalformedLinesShowUsageAndExitWithOne) {
  const char* lines[] = {"-x", "-g", "-g \"unterminated", "-:"};
  for (const char* line : lines) {
    DWORD exitCode = 0;
    EXPECT_EQ(UsageShownFor(line, &exitCode), "Usage: dorvex [-g dir_name] [-c dir_name] md5_name")
        << line;
    EXPECT_EQ(exitCode, 1u) << line;
  }
}

TEST(CommandLine, NoArgumentsOpensAnEmptyUntitledSummary) {
  RunningProgram program("");
  ASSERT_TRUE(program.Started());
  HWND window = program.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "Velmora - untitled.md5   [0 items]");
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace
