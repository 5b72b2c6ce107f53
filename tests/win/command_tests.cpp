// Commands reaching their operations, the enabling rules on menu and toolbar, busy mode,
// the context menu, accelerators, Help and About.
#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/entry_view.h"
#include "app/help_about.h"
#include "app/recent_menu.h"
#include "app/startup.h"
#include "app/title.h"
#include "digest/read_hook.h"
#include "resources/resource.h"
#include "settings/recent_files_store.h"
#include "summary/document_state.h"
#include "test_support.h"

using namespace testsupport;

namespace {

const int kAllCommands[] = {IDM_NEW, IDM_OPEN, IDM_SAVE, IDM_SAVE_AS, IDM_SET_BASE_DIRECTORY,
                            IDM_VERIFY_ALL, IDM_RECALCULATE_ALL, IDM_STOP, IDM_EXIT,
                            IDM_ADD_FILES, IDM_ADD_DIRECTORY, IDM_SELECT_ALL, IDM_COPY,
                            IDM_DELETE, IDM_VERIFY_SELECTED, IDM_RECALCULATE_SELECTED,
                            IDM_HELP_CONTENTS, IDM_ABOUT};

bool MenuEnabled(int id) {
  UINT state = GetMenuState(MainMenu, id, MF_BYCOMMAND);
  return state != 0xFFFFFFFF && !(state & (MF_GRAYED | MF_DISABLED));
}

// Separators and commands without a button report -1 (no button) from the toolbar.
int ToolbarEnabled(int id) {
  if (SendMessageA(ToolbarWindow, TB_COMMANDTOINDEX, id, 0) < 0) return -1;
  return SendMessageA(ToolbarWindow, TB_ISBUTTONENABLED, id, 0) ? 1 : 0;
}

void ExpectEnabled(std::initializer_list<int> enabled) {
  for (int id : kAllCommands) {
    bool expected = false;
    for (int on : enabled) expected = expected || on == id;
    EXPECT_EQ(MenuEnabled(id), expected) << "menu command " << id;
    int button = ToolbarEnabled(id);
    if (button >= 0) {
      EXPECT_EQ(button == 1, expected) << "toolbar command " << id;
    }
  }
}

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = OpenMainWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { CloseMainWindow(); }

  void AddEntries(int count) {
    for (int i = 0; i < count; ++i) {
      AppendEntry(("f" + std::to_string(i) + ".txt").c_str(), "d41d8cd98f00b204e9800998ecf8427e",
                  1, 1);
    }
  }

  HWND window_ = nullptr;
  char text_[64] = "";
};

TEST_F(CommandTest, EmptyDocumentWithoutBaseDirectory) {
  RefreshCommandState();
  ExpectEnabled({IDM_NEW, IDM_OPEN, IDM_EXIT, IDM_SET_BASE_DIRECTORY, IDM_HELP_CONTENTS, IDM_ABOUT});
}

TEST_F(CommandTest, EntriesWithBaseDirectoryButNoSelection) {
  SetBaseDirectory("C:\\data");
  AddEntries(3);
  SetModified(false);
  RefreshCommandState();
  ExpectEnabled({IDM_NEW, IDM_OPEN, IDM_EXIT, IDM_HELP_CONTENTS, IDM_ABOUT, IDM_SAVE_AS,
                 IDM_SELECT_ALL, IDM_ADD_FILES, IDM_ADD_DIRECTORY, IDM_VERIFY_ALL,
                 IDM_RECALCULATE_ALL});
}

TEST_F(CommandTest, SelectionEnablesTheSelectedCommandsThroughItemChanges) {
  SetBaseDirectory("C:\\data");
  AddEntries(3);
  ListView_SetItemState(EntryList, 1, LVIS_SELECTED, LVIS_SELECTED);  // notifies the window
  ExpectEnabled({IDM_NEW, IDM_OPEN, IDM_EXIT, IDM_HELP_CONTENTS, IDM_ABOUT, IDM_SAVE,
                 IDM_SAVE_AS, IDM_SELECT_ALL, IDM_DELETE, IDM_COPY, IDM_VERIFY_SELECTED,
                 IDM_RECALCULATE_SELECTED, IDM_ADD_FILES, IDM_ADD_DIRECTORY, IDM_VERIFY_ALL,
                 IDM_RECALCULATE_ALL});
}

TEST_F(CommandTest, SaveOnlyWithEntriesAndModified) {
  SetModified(true);
  RefreshCommandState();
  EXPECT_FALSE(MenuEnabled(IDM_SAVE));
  AddEntries(1);
  RefreshCommandState();
  EXPECT_TRUE(MenuEnabled(IDM_SAVE));
  EXPECT_EQ(ToolbarEnabled(IDM_SAVE), 1);
  SetModified(false);
  RefreshCommandState();
  EXPECT_FALSE(MenuEnabled(IDM_SAVE));
  EXPECT_EQ(ToolbarEnabled(IDM_SAVE), 0);
}

TEST_F(CommandTest, BusyModeLeavesOnlyStopAndTheRecentEntries) {
  AddRecentFile("C:\\nowhere\\recent.md5");
  SetBaseDirectory("C:\\data");
  AddEntries(2);
  BeginLongOperation();
  ExpectEnabled({IDM_STOP});
  EXPECT_TRUE(MenuEnabled(IDM_RECENT_FIRST));
  EndLongOperation();
  EXPECT_FALSE(MenuEnabled(IDM_STOP));
  EXPECT_TRUE(MenuEnabled(IDM_VERIFY_ALL));
}

TEST_F(CommandTest, StopOnlySetsTheFlagHoweverOftenPressed) {
  BeginLongOperation();
  EXPECT_FALSE(StopRequested());
  SendMessageA(window_, WM_COMMAND, IDM_STOP, 0);
  SendMessageA(window_, WM_COMMAND, IDM_STOP, 0);
  EXPECT_TRUE(StopRequested());
  EXPECT_TRUE(BusyFlag);
  EndLongOperation();
  BeginLongOperation();
  EXPECT_FALSE(StopRequested());  // a new operation starts unstopped
  EndLongOperation();
}

TEST_F(CommandTest, RecentFileCommandIsIgnoredWhileBusy) {
  AddRecentFile("C:\\nowhere\\gone.md5");
  DialogScript script;
  BeginLongOperation();
  SendMessageA(window_, WM_COMMAND, IDM_RECENT_FIRST, 0);
  PumpFor(150);
  EXPECT_TRUE(script.Seen().empty());
  EndLongOperation();
  script.Then(Press(IDOK));
  SendMessageA(window_, WM_COMMAND, IDM_RECENT_FIRST, 0);
  ASSERT_EQ(script.Seen().size(), 1u);
  EXPECT_EQ(script.Seen()[0].text, "Cannot open MD5 file");
  EXPECT_STREQ(RecentFilePath(0), "C:\\nowhere\\gone.md5");  // a failed load keeps its entry
}

// Records whether a popup menu opened, and closes it.
bool MenuWasOpen = false;
void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = FindWindowA("#32768", nullptr);
  if (menu && IsWindowVisible(menu)) {
    MenuWasOpen = true;
    EndMenu();
  }
}

TEST_F(CommandTest, ContextMenuOpensOnlyWhenIdle) {
  UINT_PTR timer = SetTimer(nullptr, 0, 30, CloseAnyMenu);
  MenuWasOpen = false;
  BeginLongOperation();
  SendMessageA(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), MAKELPARAM(-1, -1));
  PumpFor(150);
  EXPECT_FALSE(MenuWasOpen);
  EndLongOperation();
  SendMessageA(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), MAKELPARAM(-1, -1));
  KillTimer(nullptr, timer);
  EXPECT_TRUE(MenuWasOpen);
}

MSG CtrlV() {
  MSG message = {};
  message.hwnd = EntryList;
  message.message = WM_CHAR;
  message.wParam = 0x16;  // what Ctrl+V types
  message.lParam = 1;
  return message;
}

TEST_F(CommandTest, CtrlVReachesVerifyAllThroughTheAccelerators) {
  HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), "dorvex");
  ASSERT_NE(accelerators, nullptr);
  SetBaseDirectory("C:\\nowhere");
  AddEntries(1);
  RefreshCommandState();
  MSG message = CtrlV();
  DispatchMainLoopMessage(accelerators, &message);
  PumpFor(50);
  GetEntryText(0, kColumnStatus, text_, sizeof text_);
  EXPECT_STREQ(text_, "Missing");  // verified, not pasted
  EXPECT_EQ(StatusBarText(), "There are problems with some files!");
}

TEST_F(CommandTest, GreyedCommandsIgnoreTheirAccelerators) {
  HACCEL accelerators = LoadAcceleratorsA(GetModuleHandleA(nullptr), "dorvex");
  SetBaseDirectory("C:\\nowhere");
  AddEntries(1);
  BeginLongOperation();
  MSG message = CtrlV();
  DispatchMainLoopMessage(accelerators, &message);
  BusyFlag = false;  // leave the greyed state in place, only let the window close later
  PumpFor(50);
  GetEntryText(0, kColumnStatus, text_, sizeof text_);
  EXPECT_STREQ(text_, "OK");  // not verified: the command was greyed
}

RECT MainRect;
void CheckCentred(HWND dialog) {
  RECT rect;
  GetWindowRect(dialog, &rect);
  int expectedLeft = MainRect.left + ((MainRect.right - MainRect.left) - (rect.right - rect.left)) / 2;
  EXPECT_EQ(rect.left, expectedLeft);
  EXPECT_EQ(WindowText(dialog), "About");
}

void PressKey(HWND dialog, WPARAM key) {
  HWND focus = GetFocus();
  PostMessageA(focus ? focus : dialog, WM_KEYDOWN, key, 1);
}

TEST_F(CommandTest, AboutIsCentredAndClosesWithOkEnterEscAndTheCloseBox) {
  GetWindowRect(window_, &MainRect);
  DialogScript script;
  script.Then(CheckThenPress(CheckCentred, IDOK))
      .Then([](HWND dialog) { PressKey(dialog, VK_RETURN); })
      .Then([](HWND dialog) { PressKey(dialog, VK_ESCAPE); })
      .Then([](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
  for (int i = 0; i < 4; ++i) SendMessageA(window_, WM_COMMAND, IDM_ABOUT, 0);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(script.Unexpected(), 0);
  ASSERT_EQ(script.Seen().size(), 4u);
}

int HelpWindowCloses = 0;
LRESULT CALLBACK FakeViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ++HelpWindowCloses;
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The real viewer that Help Contents starts, with the built dorvex.chm beside this test: a
// window of another process, which is closed again so it does not outlive the test.
HWND WaitForStartedViewer(DWORD timeout = 60000) {
  HWND found = nullptr;
  WaitUntil([&found] {
    while ((found = FindWindowExA(nullptr, found, "HH Parent", kHelpWindowTitle)) != nullptr) {
      DWORD process = 0;
      GetWindowThreadProcessId(found, &process);
      if (process != GetCurrentProcessId() && IsWindowVisible(found)) return true;
    }
    return false;
  }, timeout);
  return found;
}

TEST_F(CommandTest, HelpClosesAnOpenViewerBeforeStartingAnother) {
  WNDCLASSA viewerClass = {};
  viewerClass.lpfnWndProc = FakeViewerProc;
  viewerClass.hInstance = GetModuleHandleA(nullptr);
  viewerClass.lpszClassName = "HH Parent";
  RegisterClassA(&viewerClass);
  HWND viewer = CreateWindowExA(0, "HH Parent", kHelpWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(viewer, nullptr);
  HelpWindowCloses = 0;
  SendMessageA(window_, WM_COMMAND, IDM_HELP_CONTENTS, 0);
  EXPECT_EQ(HelpWindowCloses, 1);
  EXPECT_FALSE(IsWindow(viewer));
  UnregisterClassA("HH Parent", GetModuleHandleA(nullptr));

  HWND started = WaitForStartedViewer();
  ASSERT_NE(started, nullptr) << "Help Contents started no viewer";
  DWORD process = 0;
  GetWindowThreadProcessId(started, &process);
  HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
  PostMessageA(started, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(handle, 30000), static_cast<DWORD>(WAIT_OBJECT_0));
  if (handle) CloseHandle(handle);
}

}  // namespace
