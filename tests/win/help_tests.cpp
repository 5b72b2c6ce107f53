// The built help file in the real HTML Help viewer (hh.exe): its window, its title and its
// table of contents; and Help Contents of the real dorvex.exe, which opens that viewer and on a
// second press closes it and opens a fresh one. Wine shows no page text (its HTML engine is not
// installed), so the checks stay with the window and the contents tree.
#include <windows.h>

#include "running_program.h"
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "test_support.h"

using namespace testsupport;

namespace {

const char kViewerClass[] = "HH Parent";
const char kViewerTitle[] = "Dorvex Usage Notes";

// The names of the top-level entries of the contents file the help was compiled from.
std::vector<std::string> TopLevelContents() {
  std::ifstream file(WindowsPathOf(HELP_CONTENTS_UNIX_PATH), std::ios::binary);
  std::stringstream buffer;
  buffer << file.rdbuf();
  std::string text = buffer.str();
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string nameParam = "<param name=\"name\" value=\"";
  std::vector<std::string> names;
  int depth = 0;
  for (size_t at = 0; at < lower.size(); ++at) {
    if (lower.compare(at, 4, "<ul>") == 0) {
      ++depth;
    } else if (lower.compare(at, 5, "</ul>") == 0) {
      --depth;
    } else if (depth == 1 && lower.compare(at, nameParam.size(), nameParam) == 0) {
      size_t start = at + nameParam.size();
      names.push_back(text.substr(start, text.find('"', start) - start));
    }
  }
  return names;
}

// The viewers whose window is on the screen (a viewer's window exists before it is shown).
std::vector<HWND> OpenViewers() {
  std::vector<HWND> viewers;
  HWND viewer = nullptr;
  while ((viewer = FindWindowExA(nullptr, viewer, kViewerClass, kViewerTitle)) != nullptr) {
    if (IsWindowVisible(viewer)) viewers.push_back(viewer);
  }
  return viewers;
}

HWND WaitForViewer(HWND other = nullptr, DWORD timeout = 60000) {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND viewer : OpenViewers()) {
      if (viewer != other) found = viewer;
    }
    return found != nullptr;
  }, timeout);
  return found;
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

// Closes a viewer and waits for its process to end.
bool CloseViewer(HWND viewer, DWORD timeout = 30000) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(viewer));
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  bool ended = process && WaitForSingleObject(process, timeout) == WAIT_OBJECT_0;
  if (process) CloseHandle(process);
  return ended;
}

void CloseAllViewers() {
  for (HWND viewer : OpenViewers()) CloseViewer(viewer);
}

BOOL CALLBACK FindTree(HWND window, LPARAM lParam) {
  if (ClassName(window) != "SysTreeView32") return TRUE;
  *reinterpret_cast<HWND*>(lParam) = window;
  return FALSE;
}

// The viewer's contents tree, once it holds items.
HWND WaitForContentsTree(HWND viewer, DWORD timeout = 30000) {
  HWND tree = nullptr;
  WaitUntil([&] {
    tree = nullptr;
    EnumChildWindows(viewer, FindTree, reinterpret_cast<LPARAM>(&tree));
    return tree && SendMessageA(tree, TVM_GETCOUNT, 0, 0) > 0;
  }, timeout);
  return tree && SendMessageA(tree, TVM_GETCOUNT, 0, 0) > 0 ? tree : nullptr;
}

// The texts of the tree's top-level items, read through a buffer in the viewer's own memory.
std::vector<std::string> TopLevelItems(HWND tree) {
  std::vector<std::string> texts;
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               ProcessOf(tree));
  if (!process) return texts;
  const SIZE_T textSize = 512;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(TVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE));
  if (remote) {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item) {
      TVITEMA request = {};
      request.mask = TVIF_TEXT;
      request.hItem = item;
      request.pszText = remote + sizeof(TVITEMA);
      request.cchTextMax = static_cast<int>(textSize);
      char text[512] = "";
      SIZE_T done = 0;
      if (WriteProcessMemory(process, remote, &request, sizeof request, &done) &&
          SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote)) &&
          ReadProcessMemory(process, remote + sizeof(TVITEMA), text, sizeof text - 1, &done)) {
        texts.push_back(text);
      } else {
        texts.push_back("(unreadable)");
      }
      item = reinterpret_cast<HTREEITEM>(
          SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return texts;
}

// Help Contents in the program's window: the viewer it opened once that shows the contents of
// dorvex.chm, else none (with what went wrong).
HWND PressHelpContents(HWND window) {
  PostMessageA(window, WM_COMMAND, IDM_HELP_CONTENTS, 0);
  HWND viewer = WaitForViewer();
  if (!viewer) {
    ADD_FAILURE() << "Help Contents opened no viewer";
  } else if (!WaitForContentsTree(viewer)) {
    ADD_FAILURE() << "the viewer did not load dorvex.chm";
    viewer = nullptr;
  }
  return viewer;
}

class HelpViewerTest : public ::testing::Test {
 protected:
  void SetUp() override { CloseAllViewers(); }
  void TearDown() override { CloseAllViewers(); }
};

TEST_F(HelpViewerTest, OpensTheHelpFileTitledWithItsContents) {
  std::vector<std::string> expected = TopLevelContents();
  ASSERT_GE(expected.size(), 3u) << "contents file " << HELP_CONTENTS_UNIX_PATH;

  StartedProcess viewerProcess("hh.exe \"" + WindowsPathOf(DORVEX_CHM_UNIX_PATH) + "\"");
  ASSERT_TRUE(viewerProcess.Started());

  HWND viewer = WaitForViewer();
  ASSERT_NE(viewer, nullptr) << "no window of class \"HH Parent\" titled \"Dorvex Usage Notes\"";
  EXPECT_EQ(ProcessOf(viewer), viewerProcess.Id());
  EXPECT_EQ(ClassName(viewer), kViewerClass);
  EXPECT_EQ(WindowText(viewer), kViewerTitle);
  EXPECT_TRUE(IsWindowVisible(viewer));

  HWND tree = WaitForContentsTree(viewer);
  ASSERT_NE(tree, nullptr) << "the viewer shows no table of contents";
  EXPECT_EQ(TopLevelItems(tree), expected);

  PostMessageA(viewer, WM_CLOSE, 0, 0);
  EXPECT_NE(viewerProcess.WaitForExit(30000), 0xFFFFFFFFu) << "the viewer did not end when its window was closed";
}

TEST_F(HelpViewerTest, HelpContentsOpensTheHelpBesideTheProgramAndASecondPressReopensIt) {
  RunningProgram program("");
  ASSERT_TRUE(program.Started());
  HWND window = program.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);

  HWND first = PressHelpContents(window);
  ASSERT_NE(first, nullptr);
  DWORD firstProcess = ProcessOf(first);
  HANDLE firstHandle = OpenProcess(SYNCHRONIZE, FALSE, firstProcess);
  ASSERT_NE(firstHandle, nullptr);

  PostMessageA(window, WM_COMMAND, IDM_HELP_CONTENTS, 0);
  EXPECT_EQ(WaitForSingleObject(firstHandle, 30000), WAIT_OBJECT_0)
      << "the second Help Contents did not close the open viewer";
  CloseHandle(firstHandle);
  HWND second = WaitForViewer(first);
  ASSERT_NE(second, nullptr) << "the second Help Contents opened no new viewer";
  EXPECT_NE(ProcessOf(second), firstProcess);
  EXPECT_NE(WaitForContentsTree(second), nullptr);
  EXPECT_EQ(OpenViewers().size(), 1u);

  EXPECT_TRUE(CloseViewer(second));
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0u);
}

// A folder of 100 CJK characters, as two of 50: a Linux file name holds 255 bytes, and each of
// these is 3 bytes in UTF-8. The program's path there passes the 259 bytes of an ANSI buffer.
TEST_F(HelpViewerTest, HelpContentsFindsTheHelpBesideTheProgramInAFolderOfALongUtf8Path) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8))
      << "the manifest's UTF-8 code page is not in force";
  std::string fifty;
  for (int i = 0; i < 50; ++i) fifty += "\xE6\xBC\xA2";  // U+6F22
  ScratchDir scratch;
  scratch.MakeDir(fifty);
  const std::string folder = scratch.MakeDir(fifty + "\\" + fifty);
  const std::string program = folder + "\\dorvex.exe";
  ASSERT_GT(program.size(), 259u);
  ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE)) << GetLastError();
  ASSERT_TRUE(CopyFileA(WindowsPathOf(DORVEX_CHM_UNIX_PATH).c_str(),
                        (folder + "\\dorvex.chm").c_str(), FALSE))
      << GetLastError();
  RunningProgram copy(program, "");
  ASSERT_TRUE(copy.Started());
  HWND window = copy.WaitForWindow("dorvex");
  ASSERT_NE(window, nullptr);
  HWND viewer = PressHelpContents(window);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(WindowText(viewer), kViewerTitle);
  EXPECT_TRUE(CloseViewer(viewer));
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(copy.WaitForExit(), 0u);
}

}  // namespace
