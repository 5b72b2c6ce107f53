// Select All, Delete and Copy on the real list of the real main window.
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/entry_view.h"
#include "app/selection.h"
#include "resources/resource.h"
#include "summary/document_state.h"
#include "operation_support.h"
#include "test_support.h"

using namespace testsupport;

namespace {


// The clipboard's Unicode text, as another program reads it.
std::wstring ClipboardUnicodeText() {
  std::wstring text = L"<no text on the clipboard>";
  if (!OpenClipboard(MainWindow)) return L"<clipboard not opened>";
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data) {
    const wchar_t* units = static_cast<const wchar_t*>(GlobalLock(data));
    if (units) {
      text.assign(units, wcsnlen(units, GlobalSize(data) / sizeof(wchar_t)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// The same in the process code page, to compare with the entries' names.
std::string ClipboardText() {
  const std::wstring wide = ClipboardUnicodeText();
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                  0, nullptr, nullptr);
  std::string text(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], bytes,
                      nullptr, nullptr);
  return text;
}

void PutOnClipboard(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  ASSERT_NE(block, nullptr);
  std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(MainWindow));
  EmptyClipboard();
  ASSERT_NE(SetClipboardData(CF_TEXT, block), nullptr);
  CloseClipboard();
}

bool IsSelected(int index) {
  return ListView_GetItemState(EntryList, index, LVIS_SELECTED) == LVIS_SELECTED;
}

std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (const Row& row : Rows()) names.push_back(row.name);
  return names;
}

std::string Line(const std::string& name) { return DigestOf(name) + " *" + name + "\r\n"; }

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(OpenMainWindow(), nullptr); }
  void TearDown() override { CloseMainWindow(); }

  // Entries named f0.txt..., each with the digest of its own name, as a saved document has them.
  void ListEntries(int count) {
    for (int i = 0; i < count; ++i) AppendEntry(Name(i).c_str(), DigestOf(Name(i)).c_str(), 1, i + 1);
    SetModified(false);
  }
  static std::string Name(int i) { return "f" + std::to_string(i) + ".txt"; }
};

TEST_F(SelectionTest, SelectAllSelectsEveryItemAndLeavesTheFocusWhereItWas) {
  ListEntries(5);
  ListView_SetItemState(EntryList, 2, LVIS_FOCUSED, LVIS_FOCUSED);
  ASSERT_FALSE(ToolbarEnabled(IDM_COPY));

  SelectAll();

  for (int i = 0; i < 5; ++i) EXPECT_TRUE(IsSelected(i)) << i;
  EXPECT_EQ(ListView_GetNextItem(EntryList, -1, LVNI_FOCUSED), 2);
  EXPECT_EQ(ListView_GetNextItem(EntryList, 2, LVNI_FOCUSED), -1);
  EXPECT_TRUE(ToolbarEnabled(IDM_COPY));
  EXPECT_TRUE(ToolbarEnabled(IDM_DELETE));
  EXPECT_FALSE(IsModified());
}

TEST_F(SelectionTest, ShiftClickSelectsTheRangeAndEnablesTheSelectionCommands) {
  ListEntries(6);
  ListView_SetItemState(EntryList, 1, LVIS_FOCUSED, LVIS_FOCUSED);
  ASSERT_FALSE(ToolbarEnabled(IDM_COPY));
  RECT row = {};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageA(EntryList, LVM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&row)));
  LPARAM at = MAKELPARAM(row.left + 10, (row.top + row.bottom) / 2);
  // The list reads the shift key from the keyboard state, as during a real click.
  BYTE keys[256];
  GetKeyboardState(keys);
  BYTE shift = keys[VK_SHIFT];
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  // The release is queued first: the list watches for it in a loop of its own after the press.
  PostMessageA(EntryList, WM_LBUTTONUP, MK_SHIFT, at);
  SendMessageA(EntryList, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at);
  PumpFor(20);
  keys[VK_SHIFT] = shift;
  SetKeyboardState(keys);

  for (int i = 0; i < 6; ++i) EXPECT_EQ(IsSelected(i), i >= 1 && i <= 4) << i;
  EXPECT_TRUE(ToolbarEnabled(IDM_COPY));
  EXPECT_TRUE(ToolbarEnabled(IDM_DELETE));
}

TEST_F(SelectionTest, EmptyListOnlyBeeps) {
  PutOnClipboard("kept");
  SetWindowTextA(MainWindow, "as before");
  DialogScript script;
  SelectAll();
  DeleteSelected(MainWindow);
  CopySelected(MainWindow);
  EXPECT_EQ(ClipboardText(), "kept");
  EXPECT_EQ(MainTitle(), "as before");
  EXPECT_FALSE(IsModified());
  EXPECT_TRUE(script.Seen().empty());
}

TEST_F(SelectionTest, DeleteWithNothingSelectedOnlyRefreshesTheTitle) {
  ListEntries(3);
  SetWindowTextA(MainWindow, "stale");
  DeleteSelected(MainWindow);
  EXPECT_EQ(EntryCount(), 3);
  EXPECT_FALSE(IsModified());
  EXPECT_EQ(MainTitle(), TitleWithCount(3));
}

TEST_F(SelectionTest, DeleteRemovesTheSelectedAndKeepsTheRestInOrder) {
  ListEntries(5);
  Select({0, 1, 3});
  DeleteSelected(MainWindow);
  EXPECT_EQ(Names(), (std::vector<std::string>{Name(2), Name(4)}));
  // The remaining items still carry their own records.
  ASSERT_NE(GetEntry(1), nullptr);
  EXPECT_STREQ(GetEntry(1)->name, Name(4).c_str());
  EXPECT_EQ(GetEntry(1)->sizeKb, 5);
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(MainTitle(), TitleWithCount(2));
  EXPECT_FALSE(ToolbarEnabled(IDM_DELETE));  // nothing is selected any more
}

TEST_F(SelectionTest, DeleteOfEverythingEmptiesTheDocument) {
  ListEntries(4);
  SelectAll();
  DeleteSelected(MainWindow);
  EXPECT_EQ(EntryCount(), 0);
  EXPECT_EQ(GetEntry(0), nullptr);
  EXPECT_TRUE(IsModified());
  EXPECT_EQ(MainTitle(), TitleWithCount(0));
}

TEST_F(SelectionTest, CopyPutsTheSelectedLinesInListOrder) {
  const char* names[] = {"c.txt", "dir/b.txt", "a.txt"};
  for (const char* name : names) AppendEntry(name, DigestOf(name).c_str(), 1, 1);
  SortEntries(kColumnName);
  if (!SortAscending) SortEntries(kColumnName);
  ASSERT_EQ(Names(), (std::vector<std::string>{"a.txt", "c.txt", "dir/b.txt"}));
  Select({0, 2});
  PutOnClipboard("replaced");

  CopySelected(MainWindow);

  EXPECT_EQ(ClipboardText(), Line("a.txt") + Line("dir/b.txt"));
}

// Other programs read the names in their own script, whatever the system's legacy code page.
TEST_F(SelectionTest, CopiedNamesInAnyScriptReachOtherProgramsAsUnicode) {
  ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's UTF-8 code page is not in force";
  const std::string name = "caf\xC3\xA9/\xE6\x97\xA5\xE6\x9C\xAC/emoji \xF0\x9F\x98\x80.txt";
  AppendEntry(name.c_str(), DigestOf("x").c_str(), 1, 1);
  Select({0});
  CopySelected(MainWindow);
  std::string digest = DigestOf("x");
  EXPECT_EQ(ClipboardUnicodeText(), std::wstring(digest.begin(), digest.end()) +
                                        L" *caf\u00e9/\u65e5\u672c/emoji \U0001F600.txt\r\n");
}

TEST_F(SelectionTest, CopyWithNothingSelectedLeavesAnEmptyText) {
  ListEntries(2);
  PutOnClipboard("replaced");
  CopySelected(MainWindow);
  EXPECT_EQ(ClipboardText(), "");
}

TEST_F(SelectionTest, CopyOfAThousandLongLinesLeavesNoLineOut) {
  std::string expected;
  SendMessageA(EntryList, WM_SETREDRAW, FALSE, 0);  // drawn once, as a loaded summary is
  for (int i = 0; i < 1000; ++i) {
    std::string name = "long/" + std::to_string(10000 + i) + std::string(240, 'n') + ".dat";
    AppendEntry(name.c_str(), DigestOf(name).c_str(), 1, 1);
    expected += Line(name);
  }
  SendMessageA(EntryList, WM_SETREDRAW, TRUE, 0);
  ASSERT_GT(expected.size(), 8u * 32768u);
  SelectAll();
  CopySelected(MainWindow);
  EXPECT_EQ(ClipboardText(), expected);
}

}  // namespace
