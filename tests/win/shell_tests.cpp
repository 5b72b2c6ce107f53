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

