// The real dorvex.exe started as a process of its own, watched from outside.
#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "resources/resource.h"
#include "running_program.h"
#include "test_support.h"

using namespace testsupport;

namespace {

std::string UsageShownFor(const std::string& arguments, DWORD* exitCode) {
  RunningProgram program(arguments);
  EXPECT_TRUE(program.Started());
  HWND box = program.WaitForWindow("#32770");
  if (!box) return "(no box)";
  std::string text = ItemText(box, 0xFFFF);
  EXPECT_EQ(WindowText(box), "Velmora");
  program.Answer(box, IDOK);
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
  // The file manager may drop files on it.
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

// Waits for the status bar to show a final text (not a file being read); returns the last
// text seen.
std::string WaitForStatusText(RunningProgram* program, HWND window, DWORD timeout = 60000) {
  std::string text;
  WaitUntil([&] {
    text = program->StatusText(window);
    bool reading = text.size() >= 3 && text.compare(text.size() - 3, 3, "...") == 0;
    return !text.empty() && !reading;
  }, timeout);
  return text;
}

// Waits for the window title to end with the given text.
bool WaitForTitleEnding(HWND window, const std::string& ending, DWORD timeout = 20000) {
  return WaitUntil([&] {
    std::string title = WindowText(window);
    return title.size() >= ending.size() &&
           title.compare(title.size() - ending.size(), ending.size(), ending) == 0;
  }, timeout);
}

void AnswerFileDialog(RunningProgram* program, const std::string& path) {
  HWND dialog = program->WaitForWindow("#32770");
  ASSERT_NE(dialog, nullptr);
  HWND nameBox = GetDlgItem(dialog, 1148);
  ASSERT_NE(nameBox, nullptr) << WindowText(dialog);
  SetWindowTextA(nameBox, path.c_str());
  program->Answer(dialog, IDOK);
}

void CloseWithoutSaving(RunningProgram* program, HWND window) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  // A modified document asks first: answer No.
  for (int i = 0; i < 40; ++i) {
    if (program->WaitForExit(100) != 0xFFFFFFFF) return;
    HWND box = program->WaitForWindow("#32770", 100);
    if (box) PostMessageA(box, WM_COMMAND, IDNO, 0);
  }
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

TEST(CommandLine, GenerateBuildsTheListAndSaveAsWritesIt) {
  ScratchDir scratch;
  scratch.Write("one.txt", "abc");
  scratch.MakeDir("sub dir");
  scratch.Write("sub dir/two words.txt", "");
  RunningProgram program("-g " + Quoted(scratch.Path()));
  HWND window = program.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(program.WaitForIdle(window));
  EXPECT_EQ(WindowText(window), "Velmora - untitled.md5   [2 items]");
  std::string summary = scratch.File("out.md5");
  PostMessageA(window, WM_COMMAND, IDM_SAVE_AS, 0);
  AnswerFileDialog(&program, summary);
  ASSERT_TRUE(WaitForTitleEnding(window, "out.md5   [2 items]"));
  std::string bytes = ReadWholeFile(summary);
  EXPECT_NE(bytes.find("900150983cd24fb0d6963f7d28e17f72 *one.txt\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("d41d8cd98f00b204e9800998ecf8427e *sub dir/two words.txt\r\n"), std::string::npos)
      << bytes;
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

// From outside, as Windows ends the session: the real program with a modified summary asks the
// save question, Cancel keeps it running, and the end of the session closes it without another.
// A file held open during the walk was left out and said so.
TEST(CommandLine, EndOfTheSessionAsksAboutAGeneratedSummary) {
  ScratchDir scratch;
  scratch.Write("one.txt", "abc");
  const std::string held = scratch.Write("held.txt", "held");
  HANDLE locked = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  RunningProgram program("-g " + Quoted(scratch.Path()));
  HWND window = program.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(program.WaitForIdle(window));
  CloseHandle(locked);
  EXPECT_EQ(WindowText(window), "Velmora - untitled.md5   [1 items]");
  EXPECT_EQ(program.StatusText(window), "1 file left out: cannot be read");

  PostMessageA(window, WM_QUERYENDSESSION, 0, 0);
  HWND box = program.WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ItemText(box, 0xFFFF), "The MD5 Summary has been modified. Do you want to save it?");
  program.Answer(box, IDCANCEL);
  EXPECT_TRUE(program.Running());
  PostMessageA(window, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(CommandLine, GenerateWinsOverCheck) {
  ScratchDir scratch;
  scratch.Write("a.txt", "a");
  RunningProgram program("-c " + Quoted(scratch.Path()) + " -g " + Quoted(scratch.Path()));
  HWND window = program.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(program.WaitForIdle(window));
  EXPECT_EQ(WindowText(window), "Velmora - untitled.md5   [1 items]");
  EXPECT_EQ(program.WaitForWindow("#32770", 300), nullptr);  // no Open dialog
  CloseWithoutSaving(&program, window);
}

TEST(CommandLine, CheckOpensTheChosenSummaryAndVerifiesIt) {
  ScratchDir scratch;
  scratch.Write("a.txt", "abc");
  scratch.Write("b.txt", "changed");
  std::string summary = scratch.Write("sums.md5",
                                      "900150983cd24fb0d6963f7d28e17f72 *a.txt\r\n"
                                      "900150983cd24fb0d6963f7d28e17f72 *b.txt\r\n");
  RunningProgram program("-c " + Quoted(scratch.Path()) + " ignored-name.md5");
  AnswerFileDialog(&program, summary);
  HWND window = program.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForTitleEnding(window, "sums.md5   [2 items]"));
  EXPECT_EQ(WaitForStatusText(&program, window), "There are problems with some files!");
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(CommandLine, SummaryNameWithBlanksOpensWithOrWithoutQuotes) {
  ScratchDir scratch;
  std::string summary = scratch.Write("my sums.md5", "900150983cd24fb0d6963f7d28e17f72 *a.txt\n");
  for (const std::string& argument : {summary, Quoted(summary)}) {
    RunningProgram program(argument);
    HWND browser = program.WaitForWindow("#32770");  // asks for the Base Directory
    ASSERT_NE(browser, nullptr) << argument;
    program.Answer(browser, IDCANCEL);
    HWND window = program.WaitForWindow("dorvex");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitForTitleEnding(window, "my sums.md5   [1 items]")) << argument;
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
  }
}

// A test executable that is killed (a crash, ctest's time-out) takes the programs it started with
// it: a copy of this executable starts dorvex.exe, outside this test's own job, and is killed.
// The screen's pixels per inch, which Wine reads as a program starts, set for the programs this
// test starts and put back however the test ends.
class ScreenDpiSetting {
 public:
  explicit ScreenDpiSetting(DWORD dpi) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key_, nullptr);
    DWORD size = sizeof before_;
    hadValue_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&before_), &size) == ERROR_SUCCESS;
    RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  }
  ~ScreenDpiSetting() {
    if (hadValue_) {
      RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before_),
                     sizeof before_);
    } else {
      RegDeleteValueA(key_, "LogPixels");
    }
    RegCloseKey(key_);
  }
  ScreenDpiSetting(const ScreenDpiSetting&) = delete;
  ScreenDpiSetting& operator=(const ScreenDpiSetting&) = delete;

 private:
  HKEY key_ = nullptr;
  DWORD before_ = 0;
  bool hadValue_ = false;
};

int ChildHeight(HWND window, int id) {
  RECT rect = {};
  GetWindowRect(GetDlgItem(window, id), &rect);
  return rect.bottom - rect.top;
}

TEST(HighDpi, AtOneHundredFiftyPercentTheProgramStartsWithEverythingDrawnLarger) {
  char settings[MAX_PATH];
  GetWindowsDirectoryA(settings, MAX_PATH);
  DeleteFileA((std::string(settings) + "\\dorvex.ini").c_str());  // default column widths
  ScreenDpiSetting dpi(144);
  RunningProgram program("");
  ASSERT_TRUE(program.Started());
  HWND window = program.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);
  // The window may be found before its first layout, with the label at its created size.
  WaitUntil([window] { return ChildHeight(window, IDC_BASE_LABEL) == 24; }, 5000);
  EXPECT_EQ(ChildHeight(window, IDC_BASE_LABEL), 24);
  HWND toolbar = GetDlgItem(window, IDC_TOOLBAR);
  const auto buttons = static_cast<DWORD>(SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0));
  EXPECT_GE(LOWORD(buttons), 31);  // pictures of 24x23
  EXPECT_GE(HIWORD(buttons), 29);
  HWND list = GetDlgItem(window, IDC_ENTRY_LIST);
  EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 270);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
  DeleteFileA((std::string(settings) + "\\dorvex.ini").c_str());  // widths stored at 144 DPI
}

TEST(TestProcesses, ProgramsStartedByAKilledTestEndWithIt) {
  ScratchDir scratch;
  std::string pidFile = scratch.File("held.pid");
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  SetEnvironmentVariableA("VELMORA_TEST_HOLD", Quoted(ProgramPath()).c_str());
  SetEnvironmentVariableA("VELMORA_TEST_HOLD_PID_FILE", pidFile.c_str());
  StartedProcess holder(Quoted(self), CREATE_BREAKAWAY_FROM_JOB);
  SetEnvironmentVariableA("VELMORA_TEST_HOLD", nullptr);
  SetEnvironmentVariableA("VELMORA_TEST_HOLD_PID_FILE", nullptr);
  ASSERT_TRUE(holder.Started()) << GetLastError();
  ASSERT_TRUE(WaitUntil([&] { return !ReadWholeFile(pidFile).empty(); }, 20000))
      << "the holding test executable started no dorvex.exe";
  DWORD heldId = std::stoul(ReadWholeFile(pidFile));
  HANDLE held = OpenProcess(SYNCHRONIZE, FALSE, heldId);
  ASSERT_NE(held, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return FindProcessWindow(heldId, "dorvex") != nullptr; }, 20000));
  holder.Kill();
  EXPECT_EQ(WaitForSingleObject(held, 10000), static_cast<DWORD>(WAIT_OBJECT_0))
      << "dorvex.exe outlived the test executable that started it";
  CloseHandle(held);
}

// Driven by tests/interop/md5sum_interop.sh, which builds the tree and runs GNU md5sum on
// what these write and read; skipped when run on their own.
const char* InteropSetting(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

TEST(Interop, SaveGeneratedSummary) {
  const char* tree = InteropSetting("VELMORA_INTEROP_TREE");
  const char* summary = InteropSetting("VELMORA_INTEROP_SUMMARY");
  if (!tree || !summary) GTEST_SKIP() << "run by tests/interop/md5sum_interop.sh";
  // The kind -g takes is the one last chosen (none: MD5); the settings file goes with the prefix.
  WritePrivateProfileStringA("Misc", "digest", InteropSetting("VELMORA_INTEROP_DIGEST"),
                             "dorvex.ini");
  RunningProgram program("-g " + Quoted(tree));
  HWND window = program.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(program.WaitForIdle(window));
  PostMessageA(window, WM_COMMAND, IDM_SAVE_AS, 0);
  AnswerFileDialog(&program, summary);
  ASSERT_TRUE(program.WaitForIdle(window));
  std::string base = summary;
  base = base.substr(base.find_last_of("\\/") + 1);
  ASSERT_TRUE(WaitForTitleEnding(window, base + "   [" + InteropSetting("VELMORA_INTEROP_COUNT") + " items]"))
      << WindowText(window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Interop, PeerSummaryVerifiesAllOk) {
  const char* tree = InteropSetting("VELMORA_INTEROP_TREE");
  const char* summary = InteropSetting("VELMORA_INTEROP_PEER_SUMMARY");
  if (!tree || !summary) GTEST_SKIP() << "run by tests/interop/md5sum_interop.sh";
  RunningProgram program("-c " + Quoted(tree));
  AnswerFileDialog(&program, summary);
  HWND window = program.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitForTitleEnding(window, std::string("   [") + InteropSetting("VELMORA_INTEROP_COUNT") + " items]"));
  EXPECT_EQ(WaitForStatusText(&program, window), "All files OK");
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace
