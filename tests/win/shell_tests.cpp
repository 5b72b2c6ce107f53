// The main window in this process: children, title, layout, tooltips and closing.
#include <windows.h>

#include <commctrl.h>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/toolbar.h"
#include "resources/resource.h"
#include "summary/document_state.h"
#include "test_support.h"

using namespace testsupport;

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = OpenMainWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { CloseMainWindow(); }

  RECT ChildRect(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  HWND window_ = nullptr;
};

TEST_F(MainWindowTest, ChildrenExistWithTheirIdsAndClasses) {
  struct Expected {
    HWND parent;
    int id;
    const char* className;
  };
  const Expected children[] = {
      {window_, IDC_TOOLBAR, "ToolbarWindow32"},    {window_, IDC_BASE_LABEL, "Static"},
      {window_, IDC_ENTRY_LIST, "SysListView32"},   {window_, IDC_STATUS_BAR, "msctls_statusbar32"},
      {StatusBar, IDC_PROGRESS, "msctls_progress32"},
  };
  for (const Expected& child : children) {
    HWND found = GetDlgItem(child.parent, child.id);
    ASSERT_NE(found, nullptr) << child.id;
    EXPECT_STRCASEEQ(ClassName(found).c_str(), child.className) << child.id;
  }
  EXPECT_EQ(GetDlgItem(window_, IDC_ENTRY_LIST), EntryList);
  EXPECT_EQ(WindowText(BaseLabel), "  Base Directory: ");
}

TEST_F(MainWindowTest, EmptyDocumentIsTitledUntitledWithZeroItems) {
  EXPECT_EQ(WindowText(window_), "Velmora - untitled.md5   [0 items]");
  EXPECT_STREQ(SummaryPath(), "untitled.md5");
}

TEST_F(MainWindowTest, ColumnsShowInDisplayOrderWithTheirTitles) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(EntryList, LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 4);
  int order[4] = {};
  SendMessageA(EntryList, LVM_GETCOLUMNORDERARRAY, 4, reinterpret_cast<LPARAM>(order));
  EXPECT_EQ(order[0], 0);  // Filename
  EXPECT_EQ(order[1], 2);  // Status
  EXPECT_EQ(order[2], 3);  // Size
  EXPECT_EQ(order[3], 1);  // MD5 Summary
  const char* titles[4] = {"Filename", "MD5 Summary", "Status", "Size   "};
  for (int column = 0; column < 4; ++column) {
    char text[64] = "";
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(EntryList, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info)));
    EXPECT_STREQ(text, titles[column]);
    EXPECT_EQ(info.fmt & LVCFMT_JUSTIFYMASK, column == 3 ? LVCFMT_RIGHT : LVCFMT_LEFT);
    EXPECT_EQ(info.cx, 180);
  }
}

TEST_F(MainWindowTest, LayoutOfA101PixelWideClientArea) {
  SendMessageA(window_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(101, 300));
  RECT progress = ChildRect(ProgressBar);
  EXPECT_EQ(progress.left, 50);
  EXPECT_EQ(progress.right - progress.left, 51);
  EXPECT_EQ(progress.top, 2);
  RECT toolbar, status;
  GetWindowRect(ToolbarWindow, &toolbar);
  GetWindowRect(StatusBar, &status);
  int labelHeight = MulDiv(12, ScreenDpiY(), 72);
  RECT label = ChildRect(BaseLabel);
  EXPECT_EQ(label.top, toolbar.bottom - toolbar.top);
  EXPECT_EQ(label.bottom - label.top, labelHeight);
  RECT list = ChildRect(EntryList);
  EXPECT_EQ(list.top, label.bottom);
  EXPECT_EQ(list.right - list.left, 101);
  EXPECT_EQ(list.bottom - list.top,
            300 - labelHeight - (toolbar.bottom - toolbar.top) - (status.bottom - status.top));
}

TEST_F(MainWindowTest, MinimisingLeavesTheLayoutAlone) {
  SendMessageA(window_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(101, 300));
  RECT before = ChildRect(EntryList);
  SendMessageA(window_, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
  RECT after = ChildRect(EntryList);
  EXPECT_EQ(before.right - before.left, after.right - after.left);
  SendMessageA(window_, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 300));
  EXPECT_EQ(ChildRect(EntryList).right - ChildRect(EntryList).left, 300);
}

TEST_F(MainWindowTest, FontIsEightPointsAtTheScreenResolution) {
  LOGFONTA font = {};
  ASSERT_TRUE(GetObjectA(UiFont, sizeof font, &font));
  EXPECT_EQ(font.lfHeight, -MulDiv(8, ScreenDpiY(), 72));
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(BaseLabel, WM_GETFONT, 0, 0)), UiFont);
}

TEST_F(MainWindowTest, ToolbarHasTwentyOneSlotsWithTooltipsFromTheTable) {
  EXPECT_EQ(SendMessageA(ToolbarWindow, TB_BUTTONCOUNT, 0, 0), kToolbarSlotCount);
  for (int slot = 0; slot < kToolbarSlotCount; ++slot) {
    TBBUTTON button = {};
    ASSERT_TRUE(SendMessageA(ToolbarWindow, TB_GETBUTTON, slot, reinterpret_cast<LPARAM>(&button)));
    int id = ToolbarButtonTable[slot].commandId;
    if (id == -1) {
      EXPECT_TRUE(button.fsStyle & TBSTYLE_SEP) << slot;
    } else {
      EXPECT_EQ(button.idCommand, id) << slot;
      EXPECT_EQ(button.iBitmap, slot) << slot;
    }
  }
  NMTTDISPINFOA request = {};
  request.hdr.hwndFrom = ToolbarWindow;
  request.hdr.idFrom = IDM_COPY;
  request.hdr.code = TTN_GETDISPINFOA;
  request.hinst = AppInstance;
  SendMessageA(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
  EXPECT_STREQ(request.lpszText, "Copy Selected Items");
  EXPECT_EQ(request.hinst, nullptr);
}

TEST(TooltipLookup, KnownIdsUnknownIdsAndSeparators) {
  EXPECT_STREQ(LookupTooltipText(IDM_NEW), "New");
  EXPECT_STREQ(LookupTooltipText(IDM_VERIFY_SELECTED), "Verify Selected Items");
  EXPECT_STREQ(LookupTooltipText(IDM_HELP_CONTENTS), "Help");
  EXPECT_STREQ(LookupTooltipText(IDM_STOP), "Stop");
  EXPECT_STREQ(LookupTooltipText(IDM_SAVE_AS), " ");  // no button
  EXPECT_STREQ(LookupTooltipText(9999), " ");
  EXPECT_STREQ(LookupTooltipText(-1), "");  // the separators' own slots
}

TEST_F(MainWindowTest, CloseIsRefusedWhileBusy) {
  BusyFlag = true;
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window_));
  BusyFlag = false;
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(EntryList, nullptr);
  EXPECT_EQ(UiFont, nullptr);
}

TEST_F(MainWindowTest, HotImagesAndBackgroundFollowTheControlsVersion) {
  ASSERT_GE(ComctlVersion(), 0x40046u);  // 4.70 or later: hot images and our own background
  HIMAGELIST hot = reinterpret_cast<HIMAGELIST>(SendMessageA(ToolbarWindow, TB_GETHOTIMAGELIST, 0, 0));
  ASSERT_NE(hot, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(hot), kToolbarSlotCount);
  HIMAGELIST state = reinterpret_cast<HIMAGELIST>(SendMessageA(EntryList, LVM_GETIMAGELIST, LVSIL_STATE, 0));
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(state), 5);
}

}  // namespace


namespace {

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

void SendDpiChange(HWND window, int dpi, RECT suggested) {
  SendMessageA(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&suggested));
}

TEST_F(MainWindowTest, ADpiChangeDrawsEverythingForTheNewDpiInTheSuggestedRectangleAndBack) {
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
  // The new toolbar keeps the old one's states: Save is greyed in an empty document.
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

}  // namespace
