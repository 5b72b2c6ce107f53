#include "summary/selection.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/win_guards.h"
#include "summary/entry_list.h"
#include "summary/summary_line.h"
#include "summary/title.h"

namespace {

bool BeepWhenEmpty() {
  if (EntryCount() > 0) return false;
  MessageBeep(0);
  return true;
}

// Every selected entry as one summary line, in list order.
std::string SelectedLines() {
  std::string text;
  for (int index = FirstSelectedEntry(); index >= 0; index = NextSelectedEntry(index)) {
    char digest[33];
    char name[290];
    GetEntryText(index, kColumnDigest, digest, sizeof digest);
    GetEntryText(index, kColumnName, name, sizeof name);
    char line[kSummaryLineSize];
    size_t length = FormatSummaryLine(digest, name, line, sizeof line);
    text.append(line, length);
  }
  return text;
}

// Copies the text into a block sized for all of it, so no selected line is ever dropped.
HGLOBAL MakeClipboardBlock(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  if (!block) return nullptr;
  char* data = static_cast<char*>(GlobalLock(block));
  if (!data) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(data, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  return block;
}

}  // namespace

void SelectAll() {
  if (BeepWhenEmpty()) return;
  // One request for every item: the focus and the other state bits stay as they are, and the
  // list reports the change once instead of once per item.
  RedrawPause pause(EntryList);
  ListView_SetItemState(EntryList, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void DeleteSelected(HWND window) {
  if (BeepWhenEmpty()) return;
  SendMessageA(EntryList, WM_SETREDRAW, FALSE, 0);
  if (SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0) == EntryCount()) {
    // Everything selected: one request empties the list. Removing items one by one costs the
    // list control a search through all its items each time, seconds at 100,000 entries.
    ClearEntries();
    ModifiedFlag = true;
  }
  for (int index = FirstSelectedEntry(); index >= 0; index = NextSelectedEntry(index - 1)) {
    if (!RemoveEntry(index)) break;
    ModifiedFlag = true;
  }
  SendMessageA(EntryList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(EntryList, nullptr, TRUE);
  UpdateWindow(EntryList);
  RefreshCommandState();
  UpdateTitle(window, nullptr);
}

void CopySelected(HWND window) {
  if (BeepWhenEmpty()) return;
  GlobalBlock block(MakeClipboardBlock(SelectedLines()));
  if (!block.Get()) {
    ShowError("Out of memory");
    return;
  }
  ClipboardSession clipboard(window);
  if (!clipboard.IsOpen()) {
    ShowError("Cannot open the Clipboard");
    return;
  }
  if (!EmptyClipboard()) {
    ShowError("Cannot empty the Clipboard");
    return;
  }
  if (!SetClipboardData(CF_TEXT, block.Get())) {
    ShowError("Unable to set Clipboard data");
    return;
  }
  block.Release();  // the clipboard owns it now
}
