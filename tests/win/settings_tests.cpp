// The settings file: what the real program leaves in dorvex.ini and reads back, the recent
// summaries in the File menu, and any content of the file read safely.
#include "running_program.h"

#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/recent_menu.h"
#include "settings/recent_files_store.h"
#include "settings/settings.h"
#include "test_support.h"

using namespace testsupport;

namespace {

std::string SettingsPath() {
  char directory[MAX_PATH];
  GetWindowsDirectoryA(directory, sizeof directory);
  return std::string(directory) + "\\dorvex.ini";
}

void WriteSettingsText(const std::string& text) {
  std::string path = SettingsPath();
  DeleteFileA(path.c_str());
  if (text.empty()) return;
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

int IniNumber(const char* key) {
  return static_cast<int>(GetPrivateProfileIntA("Misc", key, -12345, SettingsPath().c_str()));
}

std::string IniText(const char* key) {
  char text[1024];
  GetPrivateProfileStringA("Misc", key, "(none)", text, sizeof text, SettingsPath().c_str());
  return text;
}

int ColumnWidth(HWND window, int column) {
  HWND list = FindWindowExA(window, nullptr, "SysListView32", nullptr);
  return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
}

class SettingsProcessTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteSettingsText(""); }
  void TearDown() override { WriteSettingsText(""); }

  // Starts the program, hands its window to the check, then closes it.
  template <typename Check>
  void RunProgram(Check check) {
    RunningProgram program("");
    ASSERT_TRUE(program.Started());
    HWND window = program.WaitForWindow("dorvex");
    ASSERT_NE(window, nullptr);
    check(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(program.WaitForExit(), 0u);
  }
};

TEST_F(SettingsProcessTest, FirstStartUsesDefaultsAndTheCloseWritesPlacementAndWidths) {
  RECT rect = {};
  RunProgram([&rect](HWND window) {
    for (int column = 0; column < 4; ++column) EXPECT_EQ(ColumnWidth(window, column), 180);
    GetWindowRect(window, &rect);
  });
  EXPECT_EQ(IniNumber("x"), rect.left);
  EXPECT_EQ(IniNumber("y"), rect.top);
  EXPECT_EQ(IniNumber("nx"), rect.right - rect.left);
  EXPECT_EQ(IniNumber("ny"), rect.bottom - rect.top);
  EXPECT_EQ(IniNumber("cw2"), 180);
  EXPECT_EQ(IniNumber("cwdpi"), ScreenDpiY());
  EXPECT_EQ(IniText("old1"), "(none)");
}

TEST_F(SettingsProcessTest, PlacementAndWidthsComeBackAtTheNextStart) {
  WriteSettingsText("[Misc]\r\nx=100\r\ny=80\r\nnx=500\r\nny=400\r\ncw0=250\r\ncw3=-7\r\n");
  RunProgram([](HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 80);
    EXPECT_EQ(rect.right - rect.left, 500);
    EXPECT_EQ(rect.bottom - rect.top, 400);
    EXPECT_EQ(ColumnWidth(window, 0), 250);
    EXPECT_EQ(ColumnWidth(window, 3), 180);  // a non-positive width reads as 180
  });
  EXPECT_EQ(IniNumber("cw0"), 250);
}

TEST_F(SettingsProcessTest, ScreenEdgeAndMinimumSizeDecideWhetherThePlacementIsUsed) {
  int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  struct Case {
    int x, nx;
    bool used;
  };
  const Case cases[] = {{screenWidth - 5, 300, false}, {screenWidth - 6, 300, true}, {40, 4, false}, {40, 5, true}};
  for (const Case& c : cases) {
    WriteSettingsText("[Misc]\r\nx=" + std::to_string(c.x) + "\r\ny=30\r\nnx=" + std::to_string(c.nx) +
                      "\r\nny=300\r\n");
    RunProgram([&c](HWND window) {
      RECT rect;
      GetWindowRect(window, &rect);
      bool used = rect.left == c.x && rect.top == 30;
      EXPECT_EQ(used, c.used) << "x=" << c.x << " nx=" << c.nx;
    });
  }
}

TEST_F(SettingsProcessTest, MaximisedCloseKeepsThePlacementButWritesWidths) {
  WriteSettingsText("[Misc]\r\nx=100\r\ny=80\r\nnx=500\r\nny=400\r\nold1=C:\\a.md5\r\n");
  RunProgram([](HWND window) {
    ShowWindow(window, SW_MAXIMIZE);
    HWND list = FindWindowExA(window, nullptr, "SysListView32", nullptr);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, 333);
  });
  EXPECT_EQ(IniNumber("x"), 100);
  EXPECT_EQ(IniNumber("nx"), 500);
  EXPECT_EQ(IniNumber("cw1"), 333);
  EXPECT_EQ(IniText("old1"), "C:\\a.md5");
}

// Earlier versions wrote the recent paths in the legacy code page (1252 here): they still list
// and open, and the file is UTF-8 from then on, which a restart reads back unchanged.
TEST_F(SettingsProcessTest, LegacyRecentPathsSurviveAndBecomeUtf8) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's UTF-8 code page is not in force";
  const std::string utf8 = "[Misc]\r\nold1=C:\\caf\xC3\xA9\\sums.md5\r\n";
  WriteSettingsText("[Misc]\r\nold1=C:\\caf\xE9\\sums.md5\r\n");
  int x, y, width, height;
  ReadSettings(&x, &y, &width, &height);
  EXPECT_STREQ(RecentFilePath(0), "C:\\caf\xC3\xA9\\sums.md5");
  EXPECT_EQ(ReadWholeFile(SettingsPath()), utf8);
  ReadSettings(&x, &y, &width, &height);
  EXPECT_STREQ(RecentFilePath(0), "C:\\caf\xC3\xA9\\sums.md5");
  EXPECT_EQ(ReadWholeFile(SettingsPath()), utf8);
}

TEST_F(SettingsProcessTest, NegativeLeftEdgeWritesNothingAtAll) {
  const std::string before = "[Misc]\r\nx=100\r\ny=80\r\nnx=500\r\nny=400\r\ncw1=77\r\n";
  WriteSettingsText(before);
  RunProgram([](HWND window) {
    SetWindowPos(window, nullptr, -50, 40, 400, 300, SWP_NOZORDER);
    HWND list = FindWindowExA(window, nullptr, "SysListView32", nullptr);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 1, 333);
  });
  EXPECT_EQ(ReadWholeFile(SettingsPath()), before);
}

// In this process: the recent list read from the file, and the File menu built from it.
// In this process: the settings file read, then the window opened on what was read.
class InProcessSettingsTest : public ::testing::Test {
 protected:
  void Open(const std::string& settings) {
    WriteSettingsText(settings);
    int x, y, w, h;
    ReadSettings(&x, &y, &w, &h);
    window_ = OpenMainWindow();
  }
  void TearDown() override {
    CloseMainWindow();
    WriteSettingsText("");
  }

  HWND window_ = nullptr;
};

class RecentMenuTest : public InProcessSettingsTest {
 protected:
  std::vector<std::string> FileMenuTail() {
    std::vector<std::string> items;
    HMENU file = GetSubMenu(MainMenu, 0);
    bool afterExit = false;
    for (int i = 0; i < GetMenuItemCount(file); ++i) {
      char text[400] = "";
      GetMenuStringA(file, i, text, sizeof text, MF_BYPOSITION);
      if (afterExit) items.push_back(GetMenuItemID(file, i) == 0 ? "---" : text);
      if (GetMenuItemID(file, i) == 13) afterExit = true;
    }
    return items;
  }
};

TEST_F(RecentMenuTest, EmptyListLeavesExitLast) {
  Open("");
  EXPECT_TRUE(FileMenuTail().empty());
}

TEST_F(RecentMenuTest, ReadingStopsAtTheFirstGap) {
  Open("[Misc]\r\nold1=C:\\one.md5\r\nold3=C:\\three.md5\r\n");
  EXPECT_EQ(RecentFileCount(), 1);
  EXPECT_EQ(FileMenuTail(), (std::vector<std::string>{"---", "&1 C:\\one.md5"}));
}

TEST_F(RecentMenuTest, AmpersandsShowLiterallyAndTheNumberStaysTheMnemonic) {
  Open("[Misc]\r\nold1=C:\\R&D\\a&&b.md5\r\n");
  EXPECT_EQ(FileMenuTail(), (std::vector<std::string>{"---", "&1 C:\\R&&D\\a&&&&b.md5"}));
}

TEST_F(RecentMenuTest, MoveToFrontKeepsTheStoredCaseAndTheFifthDropsTheOldest) {
  Open("[Misc]\r\nold1=C:\\one.md5\r\nold2=D:\\Data\\X.md5\r\nold3=C:\\three.md5\r\nold4=C:\\four.md5\r\n");
  AddRecentFile("d:\\data\\x.md5");
  EXPECT_EQ(FileMenuTail(), (std::vector<std::string>{"---", "&1 D:\\Data\\X.md5", "&2 C:\\one.md5",
                                                      "&3 C:\\three.md5", "&4 C:\\four.md5"}));
  AddRecentFile("C:\\five.md5");
  EXPECT_EQ(RecentFileCount(), 4);
  EXPECT_STREQ(RecentFilePath(0), "C:\\five.md5");
  EXPECT_STREQ(RecentFilePath(3), "C:\\three.md5");
  SaveWindowSettings(window_);
  EXPECT_EQ(IniText("old1"), "C:\\five.md5");
  EXPECT_EQ(IniText("old4"), "C:\\three.md5");
}

TEST_F(RecentMenuTest, AnyFileContentGivesUsableValues) {
  std::string longText(5000, 'q');
  Open("[Misc]\r\nx=banana\r\ny=99999999999999999999\r\nnx=-2147483648\r\nny=2147483647\r\n"
       "cw0=abc\r\ncw1=0\r\ncw2=-1\r\ncw3=99999999999\r\nold1=" + longText + "\r\nold2=\r\n");
  int x, y, w, h;
  ReadSettings(&x, &y, &w, &h);
  EXPECT_EQ(x, CW_USEDEFAULT);
  EXPECT_EQ(w, CW_USEDEFAULT);
  for (int column = 0; column < 3; ++column) EXPECT_EQ(ColumnWidths[column], 180) << column;
  EXPECT_GT(ColumnWidths[3], 0);
  ASSERT_EQ(RecentFileCount(), 1);
  EXPECT_LT(std::strlen(RecentFilePath(0)), static_cast<size_t>(kPathBufferSize));
  EXPECT_EQ(FileMenuTail().size(), 2u);
}

// Widths kept at the DPI they were measured at, and read back at the window's (here the
// screen's, 96).
using ColumnWidthDpiTest = InProcessSettingsTest;

TEST_F(ColumnWidthDpiTest, StoredWidthsComeBackScaledFromTheDpiTheyWereStoredAt) {
  if (ScreenDpiY() != 96) GTEST_SKIP() << "the screen is not at 96 DPI";
  const struct {
    const char* what;
    const char* keys;
    int widths[4];
  } cases[] = {
      {"stored at 192", "cw0=300\r\ncw1=151\r\ncwdpi=192", {150, 76, 180, 180}},
      {"stored at 144", "cw0=300\r\ncw3=7\r\ncwdpi=144", {200, 180, 180, 5}},
      {"stored at 96", "cw0=300\r\ncwdpi=96", {300, 180, 180, 180}},
      {"stored without a DPI", "cw0=300\r\ncw1=151", {300, 151, 180, 180}},
      {"a DPI of 0", "cw0=300\r\ncwdpi=0", {300, 180, 180, 180}},
      {"a DPI no screen has", "cw0=300\r\ncwdpi=100000", {300, 180, 180, 180}},
      {"a width that rounds to nothing", "cw2=1\r\ncwdpi=480", {180, 180, 1, 180}},
  };
  for (const auto& c : cases) {
    Open(std::string("[Misc]\r\n") + c.keys + "\r\n");
    for (int column = 0; column < 4; ++column) {
      EXPECT_EQ(ColumnWidth(window_, column), c.widths[column]) << c.what << ", column " << column;
    }
    CloseMainWindow();
  }
}

TEST_F(ColumnWidthDpiTest, AWindowAt144WritesItsDpiAndAShutColumnKeepsItsWidthAtThatDpi) {
  if (ScreenDpiY() != 96) GTEST_SKIP() << "the screen is not at 96 DPI";
  Open("[Misc]\r\ncw3=90\r\n");
  SendDpiChange(window_, 144, {30, 40, 30 + 900, 40 + 600});
  SendMessageA(EntryList, LVM_SETCOLUMNWIDTH, 0, 300);
  SendMessageA(EntryList, LVM_SETCOLUMNWIDTH, 3, 0);  // dragged shut
  SaveWindowSettings(window_);
  EXPECT_EQ(IniNumber("cwdpi"), 144);
  EXPECT_EQ(IniNumber("cw0"), 300);
  EXPECT_EQ(IniNumber("cw1"), 270);
  EXPECT_EQ(IniNumber("cw3"), 135);  // its 90 at 96
  CloseMainWindow();

  int x, y, w, h;
  ReadSettings(&x, &y, &w, &h);
  window_ = OpenMainWindow();
  EXPECT_EQ(ColumnWidth(window_, 0), 200);
  EXPECT_EQ(ColumnWidth(window_, 1), 180);
  EXPECT_EQ(ColumnWidth(window_, 3), 90);
}

}  // namespace
