// The main window moved between screens of other DPIs: everything drawn for the new DPI, nothing
// held back after many changes, and an operation started from a toolbar button running on
// through a change with the same toolbar.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/toolbar.h"
#include "digest/read_queue.h"
#include "digest/verdict.h"
#include "resources/resource.h"
#include "summary/document_state.h"
#include "summary/entries.h"
#include "summary/entry_record.h"
#include "operation_support.h"
#include "test_support.h"

using namespace testsupport;

namespace {

class DpiChangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = OpenMainWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    CancelPendingAction();
    ReleaseHeldReadForTests();
    SetReaderCountForTests(0);
    CloseMainWindow();
  }

  HWND window_ = nullptr;
};

// What the window draws at its DPI: toolbar pictures and buttons, status pictures, the label,
// the font, and a column at its default width.
struct DpiLook {
  int toolbarPictureWidth, toolbarPictureHeight;
  int buttonWidth, buttonHeight;
  int statePictureWidth, statePictureHeight;
  int labelHeight;
  int fontHeight;
  int columnWidth;
};

DpiLook LookOfWindow() {
  DpiLook look = {};
  ImageList_GetIconSize(
      reinterpret_cast<HIMAGELIST>(SendMessageA(ToolbarWindow, TB_GETIMAGELIST, 0, 0)),
      &look.toolbarPictureWidth, &look.toolbarPictureHeight);
  const auto buttons = static_cast<DWORD>(SendMessageA(ToolbarWindow, TB_GETBUTTONSIZE, 0, 0));
  look.buttonWidth = LOWORD(buttons);
  look.buttonHeight = HIWORD(buttons);
  ImageList_GetIconSize(
      reinterpret_cast<HIMAGELIST>(SendMessageA(EntryList, LVM_GETIMAGELIST, LVSIL_STATE, 0)),
      &look.statePictureWidth, &look.statePictureHeight);
  RECT label;
  GetWindowRect(BaseLabel, &label);
  look.labelHeight = label.bottom - label.top;
  LOGFONTA font = {};
  GetObjectA(UiFont, sizeof font, &font);
  look.fontHeight = font.lfHeight;
  look.columnWidth = static_cast<int>(SendMessageA(EntryList, LVM_GETCOLUMNWIDTH, 1, 0));
  return look;
}

TEST_F(DpiChangeTest, ADpiChangeDrawsEverythingForTheNewDpiInTheSuggestedRectangleAndBack) {
  if (ScreenDpiY() != 96) GTEST_SKIP() << "the screen is not at 96 DPI";
  const DpiLook at96 = LookOfWindow();
  EXPECT_EQ(at96.toolbarPictureWidth, 16);
  EXPECT_EQ(at96.toolbarPictureHeight, 15);
  EXPECT_EQ(at96.statePictureWidth, 20);
  EXPECT_EQ(at96.statePictureHeight, 15);
  EXPECT_EQ(at96.labelHeight, 16);
  EXPECT_EQ(at96.columnWidth, 180);

  SendDpiChange(window_, 144, {30, 40, 30 + 900, 40 + 600});
  RECT placed;
  GetWindowRect(window_, &placed);
  EXPECT_EQ(placed.left, 30);
  EXPECT_EQ(placed.top, 40);
  EXPECT_EQ(placed.right - placed.left, 900);
  EXPECT_EQ(placed.bottom - placed.top, 600);
  const DpiLook at144 = LookOfWindow();
  EXPECT_EQ(at144.toolbarPictureWidth, 24);
  EXPECT_EQ(at144.toolbarPictureHeight, 23);
  EXPECT_GE(at144.buttonWidth, at96.buttonWidth + 8);
  EXPECT_GE(at144.buttonHeight, at96.buttonHeight + 8);
  EXPECT_EQ(at144.statePictureWidth, 30);
  EXPECT_EQ(at144.statePictureHeight, 23);
  EXPECT_EQ(at144.labelHeight, 24);
  EXPECT_EQ(at144.fontHeight, -16);
  EXPECT_EQ(at144.columnWidth, 270);
  EXPECT_EQ(SendMessageA(ToolbarWindow, TB_BUTTONCOUNT, 0, 0), kToolbarSlotCount);
  // The toolbar keeps its buttons' states: Save is greyed in an empty document.
  EXPECT_FALSE(SendMessageA(ToolbarWindow, TB_ISBUTTONENABLED, IDM_SAVE, 0));
  EXPECT_TRUE(SendMessageA(ToolbarWindow, TB_ISBUTTONENABLED, IDM_OPEN, 0));

  SendDpiChange(window_, 192, {30, 40, 30 + 1200, 40 + 800});
  EXPECT_EQ(LookOfWindow().toolbarPictureWidth, 32);
  EXPECT_EQ(LookOfWindow().statePictureHeight, 30);

  SendDpiChange(window_, 96, {30, 40, 30 + 600, 40 + 400});
  const DpiLook back = LookOfWindow();
  EXPECT_EQ(back.toolbarPictureWidth, at96.toolbarPictureWidth);
  EXPECT_EQ(back.buttonWidth, at96.buttonWidth);
  EXPECT_EQ(back.buttonHeight, at96.buttonHeight);
  EXPECT_EQ(back.statePictureWidth, at96.statePictureWidth);
  EXPECT_EQ(back.labelHeight, at96.labelHeight);
  EXPECT_EQ(back.fontHeight, at96.fontHeight);
  EXPECT_EQ(back.columnWidth, at96.columnWidth);
}

struct GuiObjects {
  DWORD gdi, user;
};

BOOL CALLBACK CountOneWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  return TRUE;
}

BOOL CALLBACK CountWindowAndDescendants(HWND window, LPARAM count) {
  CountOneWindow(window, count);
  EnumChildWindows(window, CountOneWindow, count);
  return TRUE;
}

// The GDI and USER objects of the process. Wine keeps no such count (GetGuiResources answers 0
// there), so then the GDI objects are counted by asking every handle number for its type, and
// the USER objects are this thread's windows.
GuiObjects CountGuiObjects() {
  GuiObjects counted = {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                        GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
  if (counted.gdi == 0) {
    for (ULONG_PTR number = 1; number <= 0xFFFF; ++number) {
      if (GetObjectType(reinterpret_cast<HGDIOBJ>(number)) != 0) ++counted.gdi;
    }
  }
  if (counted.user == 0) {
    EnumThreadWindows(GetCurrentThreadId(), CountWindowAndDescendants,
                      reinterpret_cast<LPARAM>(&counted.user));
  }
  return counted;
}

TEST_F(DpiChangeTest, TwentyOneChangesAmongThreeDpisHoldNoGdiOrUserObjectsBack) {
  if (ScreenDpiY() != 96) GTEST_SKIP() << "the screen is not at 96 DPI";
  const GuiObjects before = CountGuiObjects();
  ASSERT_GT(before.gdi, 0u);
  ASSERT_GT(before.user, 0u);
  const int dpis[] = {144, 192, 96};
  for (int change = 0; change < 21; ++change) {
    SendDpiChange(window_, dpis[change % 3], {30, 40, 30 + 640, 40 + 480});
  }
  ASSERT_EQ(WindowDpi, 96);
  const GuiObjects after = CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);
  EXPECT_EQ(SendMessageA(ToolbarWindow, TB_BUTTONCOUNT, 0, 0), kToolbarSlotCount);
}

TEST(WindowLifetime, OpeningAndClosingTheWindowAgainHoldsNoGdiOrUserObjectsBack) {
  ASSERT_NE(OpenMainWindow(), nullptr);  // what the first window leaves cached stays out
  CloseMainWindow();
  const GuiObjects before = CountGuiObjects();
  HWND window = OpenMainWindow();
  ASSERT_NE(window, nullptr);
  SendDpiChange(window, 144, {30, 40, 30 + 900, 40 + 600});
  CloseMainWindow();
  const GuiObjects after = CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);
}

// A click on the toolbar's own button: the command then runs inside the toolbar's handler.
void ClickToolbarButton(int commandId) {
  RECT button = {};
  SendMessageA(ToolbarWindow, TB_GETRECT, commandId, reinterpret_cast<LPARAM>(&button));
  const LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
  PostMessageA(ToolbarWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(ToolbarWindow, WM_LBUTTONUP, 0, at);
}

int CountOfStatus(const char* status) {
  int count = 0;
  for (int index = 0; index < EntryCount(); ++index) count += ColumnText(index, 2) == status;
  return count;
}

TEST_F(DpiChangeTest, VerifyAllStartedFromItsButtonRunsOnThroughADpiChangeWithTheSameToolbar) {
  ScratchDir scratch;
  const int kFiles = 6;
  std::string held;
  for (int i = 0; i < kFiles; ++i) {
    const std::string bytes(4096 + i, static_cast<char>('a' + i));
    const std::string name = "f" + std::to_string(i) + ".bin";
    const std::string path = scratch.Write(name, bytes);
    if (i == 0) held = path;
    AppendEntry(name.c_str(), DigestOf(bytes).c_str(), kStatusNotVerified, kNoSize);
  }
  SetModified(false);
  SetBaseDirectory(scratch.Path().c_str());
  RefreshCommandState();
  ASSERT_TRUE(ToolbarEnabled(IDM_VERIFY_ALL));
  SetReaderCountForTests(4);
  HoldReadForTests(held.c_str());
  const HWND toolbar = ToolbarWindow;
  const int finishedBefore = FinishedReadsForTests();
  bool changedWhileBusy = false;
  // With the first file held, the operation waits in its message loop: the DPI changes there.
  ActWhen([finishedBefore] { return FinishedReadsForTests() - finishedBefore >= kFiles - 1; },
          [&] {
            changedWhileBusy = BusyFlag;
            SendDpiChange(window_, 144, {30, 40, 30 + 900, 40 + 600});
            EXPECT_EQ(ToolbarWindow, toolbar);
            EXPECT_TRUE(ToolbarEnabled(IDM_STOP));
            EXPECT_FALSE(ToolbarEnabled(IDM_NEW));
            ReleaseHeldReadForTests();
          });
  ClickToolbarButton(IDM_VERIFY_ALL);
  ASSERT_TRUE(PumpUntil([] { return !BusyFlag && CountOfStatus("OK") == kFiles; }, 30000))
      << CountOfStatus("OK") << " of " << kFiles << " verified";
  EXPECT_TRUE(changedWhileBusy);
  EXPECT_EQ(WindowDpi, 144);
  EXPECT_EQ(ToolbarWindow, toolbar);
  EXPECT_TRUE(IsWindow(toolbar));
  EXPECT_EQ(GetDlgItem(window_, IDC_TOOLBAR), toolbar);
  EXPECT_EQ(LookOfWindow().toolbarPictureWidth, 24);
  EXPECT_TRUE(ToolbarEnabled(IDM_NEW));
  EXPECT_FALSE(ToolbarEnabled(IDM_STOP));

  ClickToolbarButton(IDM_SELECT_ALL);
  EXPECT_TRUE(PumpUntil(
      [] { return SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0) == kFiles; }, 5000))
      << "the Select All button did nothing after the change";
}

}  // namespace
