#include "app/entry_view.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/dpi_rules.h"
#include "app/screen_refresh.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "common/win_guards.h"
#include "resources/resource.h"
#include "settings/placement.h"
#include "settings/settings.h"
#include "summary/summary_line.h"

int SortColumn = -1;
bool SortAscending = true;

namespace {

struct ColumnSpec {
  const char* title;
  int format;
  int order;
};

const ColumnSpec kColumns[kColumnCount] = {
    {"Filename", LVCFMT_LEFT, 0},
    {"MD5 Summary", LVCFMT_LEFT, 3},
    {"Status", LVCFMT_LEFT, 1},
    {"Size   ", LVCFMT_RIGHT, 2},
};

// A cell's text: a name of 260 characters in UTF-8, or any other column.
const size_t kCellTextSize = kSummaryNameSize;
bool RestoringSelection = false;

bool IsRowInSight(int index) {
  auto top = static_cast<int>(SendMessageA(EntryList, LVM_GETTOPINDEX, 0, 0));
  auto rows = static_cast<int>(SendMessageA(EntryList, LVM_GETCOUNTPERPAGE, 0, 0));
  return index >= top && index <= top + rows;  // the last one may show in part
}

size_t ShownCount() { return static_cast<size_t>(SendMessageA(EntryList, LVM_GETITEMCOUNT, 0, 0)); }

size_t RecordCount() { return static_cast<size_t>(EntryCount()); }

// The records of the selected items, so that the selection can follow them through a sort.
std::vector<const SummaryEntry*> SelectedRecords() {
  const auto count = static_cast<size_t>(SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0));
  std::vector<const SummaryEntry*> selected;
  if (count == RecordCount()) {  // no walk through all
    for (int index = 0; index < EntryCount(); ++index) selected.push_back(GetEntry(index));
    return selected;
  }
  for (int index = FirstSelectedEntry(); index >= 0; index = NextSelectedEntry(index)) {
    selected.push_back(GetEntry(index));
  }
  return selected;
}

void SelectRecords(std::vector<const SummaryEntry*> records, const SummaryEntry* focused) {
  RedrawPause pause(EntryList);  // one repaint, not one per item
  RestoringSelection = true;
  // Everything selected (as after Select All) stays so in one request; only the focus moves.
  const bool all = records.size() == RecordCount();
  ListView_SetItemState(EntryList, -1, all ? LVIS_SELECTED : 0, LVIS_SELECTED | LVIS_FOCUSED);
  const std::less<const SummaryEntry*> before;
  if (!all) std::sort(records.begin(), records.end(), before);
  for (int index = 0; index < EntryCount(); ++index) {
    const SummaryEntry* entry = GetEntry(index);
    bool selected = !all && std::binary_search(records.begin(), records.end(), entry, before);
    UINT state = selected ? LVIS_SELECTED : 0;
    if (entry == focused) state |= LVIS_FOCUSED;
    if (state) ListView_SetItemState(EntryList, index, state, state);
  }
  RestoringSelection = false;
}

void OnEntryAppended() {
  if (!DisplayHeld()) SyncEntryCount();
}

void OnEntryChanged(int index) {
  if (!EntryList || (DisplayHeld() && !IsRowInSight(index))) return;
  SendMessageA(EntryList, LVM_REDRAWITEMS, index, index);
}

void OnEntriesCleared() {
  if (EntryList) SendMessageA(EntryList, LVM_DELETEALLITEMS, 0, 0);
}

// The control moves the selection of the items below up by one.
bool OnEntryRemoving(int index) {
  SyncEntryCount();
  return SendMessageA(EntryList, LVM_DELETEITEM, index, 0) != 0;
}

const EntriesListener kEntryView = {OnEntryAppended, OnEntryChanged, OnEntriesCleared,
                                    OnEntryRemoving};

UINT StateImageOf(const SummaryEntry& entry, UINT state) {
  return (state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(entry.status + 1);
}

}  // namespace

void InstallEntryView() { InstallEntriesListener(&kEntryView); }

void InstallEntryColumns(HWND list, int dpi) {
  int widths[kColumnCount];
  for (int column = 0; column < kColumnCount; ++column) {
    widths[column] = ColumnWidthStored[column]
                         ? ColumnWidthAtDpi(ColumnWidths[column], ColumnWidthDpi, dpi)
                         : ScaleForDpi(kDefaultColumnWidth, dpi);
  }
  for (int column = 0; column < kColumnCount; ++column) {
    LVCOLUMNA columnInfo;
    ZeroMemory(&columnInfo, sizeof columnInfo);
    columnInfo.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_ORDER;
    columnInfo.fmt = kColumns[column].format;
    columnInfo.cx = widths[column];
    columnInfo.pszText = const_cast<char*>(kColumns[column].title);
    columnInfo.iSubItem = column;
    columnInfo.iOrder = kColumns[column].order;
    SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&columnInfo));
  }
  // The order again as a whole: a column inserted with an order beyond the columns that
  // exist so far has it clamped by some list views, which then draw subitems misplaced.
  int order[kColumnCount];
  for (int column = 0; column < kColumnCount; ++column) order[kColumns[column].order] = column;
  SendMessageA(list, LVM_SETCOLUMNORDERARRAY, kColumnCount, reinterpret_cast<LPARAM>(order));
  // Some list views keep the row width they measured while the columns were still being
  // inserted in another order, and repaint rows only that far: the columns beyond stay blank
  // until the whole list is drawn again. A changed width of the first column makes them
  // measure the rows anew; setting the same width changes nothing, so it goes there and back.
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(widths[0] + 1, 0));
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(widths[0], 0));
}

void ApplyDigestColumn(HWND list, DigestKind kind, int dpi) {
  const DigestKindInfo& info = KindInfo(kind);
  char title[32];
  FormatText(title, sizeof title, "%s Summary", info.displayName);
  LVCOLUMNA column;
  ZeroMemory(&column, sizeof column);
  column.mask = LVCF_TEXT;
  column.pszText = title;
  SendMessageA(list, LVM_SETCOLUMNA, kColumnDigest, reinterpret_cast<LPARAM>(&column));
  if (ColumnWidthStored[kColumnDigest]) return;
  int width = ScaleForDpi(kDefaultColumnWidth, dpi);
  if (kind != DigestKind::kMd5) {
    // As many of the widest hex digit as the kind has, in the list's own font, and a cell's
    // margins.
    int widest = 0;
    for (const char* digit = "0123456789abcdef"; *digit; ++digit) {
      const char one[2] = {*digit, '\0'};
      widest = std::max(widest, static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                                                              reinterpret_cast<LPARAM>(one))));
    }
    width = std::max(width, widest * info.digits + ScaleForDpi(16, dpi));
  }
  SendMessageA(list, LVM_SETCOLUMNWIDTH, kColumnDigest, MAKELPARAM(width, 0));
}

void RescaleColumnWidths(HWND list, int fromDpi, int toDpi) {
  if (!list || fromDpi <= 0 || fromDpi == toDpi) return;
  for (int column = 0; column < kColumnCount; ++column) {
    const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    SendMessageA(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(MulDiv(width, toDpi, fromDpi), 0));
  }
}

void InstallStateImages(HWND list, int dpi) {
  const int scale = PictureScale(dpi);
  const int id = scale == 200 ? IDB_STATE_IMAGES_200
                              : scale == 150 ? IDB_STATE_IMAGES_150 : IDB_STATE_IMAGES;
  HBITMAP bitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(id));
  if (!bitmap) return;
  HIMAGELIST images = ImageList_Create(PictureSide(20, scale), PictureSide(15, scale),
                                       ILC_COLOR24 | ILC_MASK, 5, 4);
  if (images) {
    ImageList_AddMasked(images, bitmap, RGB(192, 192, 192));
    auto before = reinterpret_cast<HIMAGELIST>(
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(images)));
    if (before) ImageList_Destroy(before);
  }
  DeleteObject(bitmap);
}

void ReadColumnWidths(int widths[kColumnCount]) {
  for (int column = 0; column < kColumnCount; ++column) {
    widths[column] =
        EntryList ? static_cast<int>(SendMessageA(EntryList, LVM_GETCOLUMNWIDTH, column, 0)) : 0;
  }
}

void SyncEntryCount() {
  if (!EntryList || ShownCount() == RecordCount()) return;
  // The rows above keep their place and selection.
  SendMessageA(EntryList, LVM_SETITEMCOUNT, RecordCount(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

bool NewEntriesInSight() {
  if (!EntryList) return false;
  const size_t shown = ShownCount();
  if (shown == RecordCount()) return false;
  return shown > RecordCount() || IsRowInSight(static_cast<int>(shown));
}

bool NewCountChangesScrollBar() {
  if (!EntryList) return false;
  const size_t shown = ShownCount();
  if (shown == RecordCount()) return false;
  if (shown > RecordCount() || shown == 0) return true;
  // Below the top row the thumb would move up.
  if (SendMessageA(EntryList, LVM_GETTOPINDEX, 0, 0) != 0) return true;
  SCROLLBARINFO bar = {};
  bar.cbSize = sizeof bar;
  if (!GetScrollBarInfo(EntryList, OBJID_VSCROLL, &bar)) return true;
  if (bar.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) return true;
  // At the top row the thumb starts where the top arrow ends; the bottom arrow is as long.
  long long track = (bar.rcScrollBar.bottom - bar.rcScrollBar.top) - 2LL * bar.xyThumbTop;
  long long page = SendMessageA(EntryList, LVM_GETCOUNTPERPAGE, 0, 0);
  long long share = track * page / static_cast<long long>(shown);
  // A thumb longer than its share of the track is held at its shortest: with more entries it
  // stays so, at the top, and the bar looks the same (a pixel of rounding aside).
  return bar.xyThumbBottom - bar.xyThumbTop <= share + 1;
}

void SortEntries(int column) {
  if (column == SortColumn) {
    SortAscending = !SortAscending;
  } else {
    SortColumn = column;
    SortAscending = true;
  }
  SyncEntryCount();
  std::vector<const SummaryEntry*> selected = SelectedRecords();
  const SummaryEntry* focused = GetEntry(static_cast<int>(
      SendMessageA(EntryList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
  SortEntryRecords(SortColumn, SortAscending);
  if (!selected.empty() || focused) SelectRecords(std::move(selected), focused);
  InvalidateRect(EntryList, nullptr, FALSE);
}

bool IsRestoringSelection() { return RestoringSelection; }

int FirstSelectedEntry() { return NextSelectedEntry(-1); }

int NextSelectedEntry(int after) {
  if (!EntryList) return -1;
  return static_cast<int>(
      SendMessageA(EntryList, LVM_GETNEXTITEM, after, MAKELPARAM(LVNI_SELECTED, 0)));
}

LRESULT AnswerEntryDisplayInfo(NMLVDISPINFOA* info) {
  LVITEMA& item = info->item;
  const SummaryEntry* entry = GetEntry(item.iItem);
  if (!entry) return 0;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    GetEntryText(item.iItem, item.iSubItem, item.pszText, item.cchTextMax);
  }
  if (item.mask & LVIF_STATE) item.state = StateImageOf(*entry, item.state);
  return 0;
}

LRESULT AnswerEntryDisplayInfoW(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  const SummaryEntry* entry = GetEntry(item.iItem);
  if (!entry) return 0;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    char text[kCellTextSize];
    GetEntryText(item.iItem, item.iSubItem, text, sizeof text);
    std::wstring wide = ProcessTextToWide(text, std::strlen(text));
    size_t units = std::min(wide.size(), static_cast<size_t>(item.cchTextMax - 1));
    // A pair of units is one character: never half of one.
    if (units > 0 && units < wide.size() && IS_HIGH_SURROGATE(wide[units - 1])) --units;
    std::memcpy(item.pszText, wide.data(), units * sizeof(wchar_t));
    item.pszText[units] = L'\0';
  }
  if (item.mask & LVIF_STATE) item.state = StateImageOf(*entry, item.state);
  return 0;
}

int FindEntryByName(const char* wanted, unsigned flags, int start) {
  if (!(flags & (LVFI_STRING | LVFI_PARTIAL)) || !wanted) return -1;
  int count = EntryCount();
  if (start < 0 || start >= count) start = 0;
  int span = (flags & LVFI_WRAP) ? count : count - start;
  bool partial = (flags & LVFI_PARTIAL) != 0;
  const std::wstring wideWanted = ProcessTextToWide(wanted, std::strlen(wanted));  // once
  for (int step = 0; step < span; ++step) {
    int index = (start + step) % count;
    if (LocaleCaseMatches(GetEntry(index)->name, wideWanted, partial)) return index;
  }
  return -1;
}

LRESULT AnswerFindRequest(const NMHDR* header) {
  if (header->code == LVN_ODFINDITEMA) {
    const auto* find = reinterpret_cast<const NMLVFINDITEMA*>(header);
    return FindEntryByName(find->lvfi.psz, find->lvfi.flags, find->iStart);
  }
  // Some list views ask in wide characters whatever the parent's notification format.
  const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
  if (!find->lvfi.psz) return -1;
  char wanted[MAX_PATH + 1];
  if (!WideCharToMultiByte(CP_ACP, 0, find->lvfi.psz, -1, wanted, sizeof wanted, nullptr, nullptr)) {
    return -1;
  }
  return FindEntryByName(wanted, find->lvfi.flags, find->iStart);
}
