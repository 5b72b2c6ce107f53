#include "app/selection.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/entry_view.h"
#include "app/title.h"
#include "common/code_pages.h"
#include "common/win_guards.h"
#include "summary/document_state.h"
#include "summary/summary_file.h"

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
    char line[kSummaryLineSize];
    text.append(line, FormatEntryLine(index, line));
  }
  return text;
}

// The text as UTF-16 in a block sized for all of it, so no selected line is ever dropped: the
// clipboard's Unicode form, from which the system makes the others for older readers.
HGLOBAL MakeClipboardBlock(const std::string& text) {
  const std::wstring wide = ProcessTextToWide(text.data(), text.size());
  if (wide.empty() != text.empty()) return nullptr;
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
  if (!block) return nullptr;
  void* data = GlobalLock(block);
  if (!data) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(data, wide.c_str(), bytes);
  GlobalUnlock(block);
  return block;
}

// The selected lines in a clipboard block; none when memory runs out on the way.
HGLOBAL MakeSelectionBlock() {
  try {
    return MakeClipboardBlock(SelectedLines());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

void SelectAll() {
  if (BeepWhenEmpty()) return;
  // One request for every item: the focus and the other state bits stay as they are, and the
  // list reports the change once instead of once per item.
  RedrawPause pause(EntryList);
  ListView_SetItemState(EntryList, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void DeleteSelected(HWND) {
  if (BeepWhenEmpty()) return;
  SendMessageA(EntryList, WM_SETREDRAW, FALSE, 0);
  if (SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0) == EntryCount()) {
    // Everything selected: one request empties the list. Removing items one by one costs the
    // list control a search through all its items each time, seconds at 100,000 entries.
    ClearEntries();
    SetModified(true);
  }
  for (int index = FirstSelectedEntry(); index >= 0; index = NextSelectedEntry(index - 1)) {
    if (!RemoveEntry(index)) break;
    SetModified(true);
  }
  SendMessageA(EntryList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(EntryList, nullptr, TRUE);
  UpdateWindow(EntryList);
  RefreshCommandState();
  RefreshTitle();
}

void CopySelected(HWND window) {
  if (BeepWhenEmpty()) return;
  GlobalBlock block(MakeSelectionBlock());
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
  if (!SetClipboardData(CF_UNICODETEXT, block.Get())) {
    ShowError("Unable to set Clipboard data");
    return;
  }
  block.Release();  // the clipboard owns it now
}
