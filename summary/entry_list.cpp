#include "summary/entry_list.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/screen_refresh.h"
#include "app/win_guards.h"
#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "resources/resource.h"
#include "summary/name_index.h"
#include "summary/summary_line.h"
#include "settings/settings.h"

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

char CachedThousandsSeparator[16] = "";
NameIndex ListedNames;
// A cell's text: a name of 260 characters in UTF-8, or any other column.
const size_t kCellTextSize = kSummaryNameSize;
int LiveRecords = 0;  // records allocated and not yet released: every one belongs to an item
// The records in list order. The list control holds only their count and the selection, and
// asks for what it draws: appending, changing and sorting entries cost it nothing per item.
std::vector<SummaryEntry*> Entries;
bool RestoringSelection = false;

int RecordLimitForTests = -1;  // none

// One allocation holds the record and, right behind it, its name.
SummaryEntry* NewRecord(const char* name) {
  if (RecordLimitForTests >= 0 && LiveRecords >= RecordLimitForTests) return nullptr;
  const size_t nameSize = std::strlen(name) + 1;
  void* block = std::calloc(1, sizeof(SummaryEntry) + nameSize);
  if (!block) return nullptr;
  auto* entry = static_cast<SummaryEntry*>(block);
  char* storedName = static_cast<char*>(block) + sizeof(SummaryEntry);
  std::memcpy(storedName, name, nameSize);
  entry->name = storedName;
  ++LiveRecords;
  return entry;
}

void ReleaseRecord(SummaryEntry* entry) {
  if (!entry) return;
  --LiveRecords;
  std::free(entry);
}

bool IsRowInSight(int index) {
  auto top = static_cast<int>(SendMessageA(EntryList, LVM_GETTOPINDEX, 0, 0));
  auto rows = static_cast<int>(SendMessageA(EntryList, LVM_GETCOUNTPERPAGE, 0, 0));
  return index >= top && index <= top + rows;  // the last one may show in part
}

void RedrawEntry(int index) {
  if (!EntryList || (DisplayHeld() && !IsRowInSight(index))) return;
  SendMessageA(EntryList, LVM_REDRAWITEMS, index, index);
}

void ColumnTextOf(const SummaryEntry& entry, int column, char* text, int size) {
  switch (column) {
    case kColumnName:
      // The list may ask with less room than a long UTF-8 name takes: no half character then.
      if (!CopyText(text, size, entry.name)) DropSplitCharacter(text);
      break;
    case kColumnDigest:
      CopyText(text, size, entry.digest);
      break;
    case kColumnStatus:
      CopyText(text, size, StatusText(entry.status));
      break;
    case kColumnSize:
      FormatSizeText(entry.sizeKb, ThousandsSeparator(), text, static_cast<size_t>(size));
      break;
    default:
      text[0] = '\0';
  }
}

// The records of the selected items, so that the selection can follow them through a sort.
std::vector<const SummaryEntry*> SelectedRecords() {
  const auto count = static_cast<size_t>(SendMessageA(EntryList, LVM_GETSELECTEDCOUNT, 0, 0));
  if (count == Entries.size()) return {Entries.begin(), Entries.end()};  // no walk through all
  std::vector<const SummaryEntry*> selected;
  for (int index = FirstSelectedEntry(); index >= 0; index = NextSelectedEntry(index)) {
    selected.push_back(Entries[static_cast<size_t>(index)]);
  }
  return selected;
}

void SelectRecords(std::vector<const SummaryEntry*> records, const SummaryEntry* focused) {
  RedrawPause pause(EntryList);  // one repaint, not one per item
  RestoringSelection = true;
  // Everything selected (as after Select All) stays so in one request; only the focus moves.
  const bool all = records.size() == Entries.size();
  ListView_SetItemState(EntryList, -1, all ? LVIS_SELECTED : 0, LVIS_SELECTED | LVIS_FOCUSED);
  const std::less<const SummaryEntry*> before;
  if (!all) std::sort(records.begin(), records.end(), before);
  for (size_t index = 0; index < Entries.size(); ++index) {
    const SummaryEntry* entry = Entries[index];
    bool selected = !all && std::binary_search(records.begin(), records.end(), entry, before);
    UINT state = selected ? LVIS_SELECTED : 0;
    if (entry == focused) state |= LVIS_FOCUSED;
    if (state) ListView_SetItemState(EntryList, static_cast<int>(index), state, state);
  }
  RestoringSelection = false;
}

}  // namespace

void InstallEntryColumns(HWND list) {
  for (int column = 0; column < kColumnCount; ++column) {
    LVCOLUMNA columnInfo;
    ZeroMemory(&columnInfo, sizeof columnInfo);
    columnInfo.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM | LVCF_ORDER;
    columnInfo.fmt = kColumns[column].format;
    columnInfo.cx = ColumnWidths[column];
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
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(ColumnWidths[0] + 1, 0));
  SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(ColumnWidths[0], 0));
}

void InstallStateImages(HWND list) {
  HBITMAP bitmap = LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_STATE_IMAGES));
  if (!bitmap) return;
  HIMAGELIST images = ImageList_Create(20, 15, ILC_COLOR24 | ILC_MASK, 5, 4);
  if (images) {
    ImageList_AddMasked(images, bitmap, RGB(192, 192, 192));
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(images));
  }
  DeleteObject(bitmap);
}

void LimitEntryRecordsForTests(int limit) { RecordLimitForTests = limit; }

bool AppendEntry(const char* name, const char* digest, int status, int32_t sizeKb) {
  SummaryEntry* entry = NewRecord(name);
  if (!entry) return false;
  CopyText(entry->digest, sizeof entry->digest, digest);
  entry->status = status;
  entry->sizeKb = sizeKb;
  // A failed allocation must not leave a window procedure: the entries stay as they were.
  try {
    Entries.push_back(entry);
    try {
      ListedNames.Add(entry->name);
    } catch (const std::bad_alloc&) {
      Entries.pop_back();
      throw;
    }
  } catch (const std::bad_alloc&) {
    ReleaseRecord(entry);
    return false;
  }
  if (!DisplayHeld()) SyncEntryCount();
  ModifiedFlag = true;
  return true;
}

SummaryEntry* GetEntry(int index) {
  if (index < 0 || static_cast<size_t>(index) >= Entries.size()) return nullptr;
  return Entries[static_cast<size_t>(index)];
}

void SetEntryStatus(int index, int status) {
  SummaryEntry* entry = GetEntry(index);
  if (!entry) return;
  entry->status = status;
  RedrawEntry(index);
}

void SetEntrySize(int index, int32_t sizeKb) {
  SummaryEntry* entry = GetEntry(index);
  if (!entry) return;
  entry->sizeKb = sizeKb;
  RedrawEntry(index);
}

void SetEntryDigest(int index, const char* digest) {
  SummaryEntry* entry = GetEntry(index);
  if (!entry) return;
  CopyText(entry->digest, sizeof entry->digest, digest);
  RedrawEntry(index);
}

void ClearEntries() {
  for (SummaryEntry* entry : Entries) ReleaseRecord(entry);
  Entries.clear();
  ListedNames.Clear();
  if (EntryList) SendMessageA(EntryList, LVM_DELETEALLITEMS, 0, 0);
}

void SyncEntryCount() {
  if (!EntryList) return;
  if (SendMessageA(EntryList, LVM_GETITEMCOUNT, 0, 0) == static_cast<LRESULT>(Entries.size())) return;
  // The rows above keep their place and selection.
  SendMessageA(EntryList, LVM_SETITEMCOUNT, Entries.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

bool NewEntriesInSight() {
  if (!EntryList) return false;
  auto shown = static_cast<size_t>(SendMessageA(EntryList, LVM_GETITEMCOUNT, 0, 0));
  if (shown == Entries.size()) return false;
  return shown > Entries.size() || IsRowInSight(static_cast<int>(shown));
}

bool NewCountChangesScrollBar() {
  if (!EntryList) return false;
  auto shown = static_cast<size_t>(SendMessageA(EntryList, LVM_GETITEMCOUNT, 0, 0));
  if (shown == Entries.size()) return false;
  if (shown > Entries.size() || shown == 0) return true;
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
  // The selection and the focus stay with their entries.
  std::vector<const SummaryEntry*> selected = SelectedRecords();
  const SummaryEntry* focused = GetEntry(
      static_cast<int>(SendMessageA(EntryList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
  std::stable_sort(Entries.begin(), Entries.end(), [](const SummaryEntry* a, const SummaryEntry* b) {
    return CompareEntries(a, b, SortColumn, SortAscending) < 0;
  });
  if (!selected.empty() || focused) SelectRecords(std::move(selected), focused);
  InvalidateRect(EntryList, nullptr, FALSE);
}

bool IsRestoringSelection() { return RestoringSelection; }

bool IsNameListed(const char* name) { return ListedNames.Contains(name); }

int ListedNameCount() { return static_cast<int>(ListedNames.Count()); }

int LiveEntryRecords() { return LiveRecords; }

bool RemoveEntry(int index) {
  SummaryEntry* entry = GetEntry(index);
  if (!entry) return false;
  SyncEntryCount();
  // The control moves the selection of the items below up by one.
  if (!SendMessageA(EntryList, LVM_DELETEITEM, index, 0)) return false;
  Entries.erase(Entries.begin() + index);
  ListedNames.Remove(entry->name);
  ReleaseRecord(entry);
  return true;
}

int EntryCount() { return static_cast<int>(Entries.size()); }

int FirstSelectedEntry() { return NextSelectedEntry(-1); }

int NextSelectedEntry(int after) {
  if (!EntryList) return -1;
  return static_cast<int>(
      SendMessageA(EntryList, LVM_GETNEXTITEM, after, MAKELPARAM(LVNI_SELECTED, 0)));
}

int FindEntryIndex(const SummaryEntry* entry, int hint) {
  if (hint >= 0 && GetEntry(hint) == entry) return hint;
  for (size_t index = 0; index < Entries.size(); ++index) {
    if (Entries[index] == entry) return static_cast<int>(index);
  }
  return -1;
}

void GetEntryText(int index, int column, char* text, int size) {
  if (size <= 0) return;
  text[0] = '\0';
  if (const SummaryEntry* entry = GetEntry(index)) ColumnTextOf(*entry, column, text, size);
}

LRESULT AnswerEntryDisplayInfo(NMLVDISPINFOA* info) {
  LVITEMA& item = info->item;
  const SummaryEntry* entry = GetEntry(item.iItem);
  if (!entry) return 0;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    ColumnTextOf(*entry, item.iSubItem, item.pszText, item.cchTextMax);
  }
  if (item.mask & LVIF_STATE) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(entry->status + 1);
  }
  return 0;
}

LRESULT AnswerEntryDisplayInfoW(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  const SummaryEntry* entry = GetEntry(item.iItem);
  if (!entry) return 0;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    char text[kCellTextSize];
    ColumnTextOf(*entry, item.iSubItem, text, sizeof text);
    std::wstring wide = ProcessTextToWide(text, std::strlen(text));
    size_t units = std::min(wide.size(), static_cast<size_t>(item.cchTextMax - 1));
    // A pair of units is one character: never half of one.
    if (units > 0 && units < wide.size() && IS_HIGH_SURROGATE(wide[units - 1])) --units;
    std::memcpy(item.pszText, wide.data(), units * sizeof(wchar_t));
    item.pszText[units] = L'\0';
  }
  if (item.mask & LVIF_STATE) {
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(entry->status + 1);
  }
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
    if (LocaleCaseMatches(Entries[static_cast<size_t>(index)]->name, wideWanted, partial)) {
      return index;
    }
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

const char* ThousandsSeparator() {
  if (CachedThousandsSeparator[0] == '\0') {
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, CachedThousandsSeparator,
                        sizeof CachedThousandsSeparator)) {
      CachedThousandsSeparator[0] = '\0';
    }
  }
  return CachedThousandsSeparator;
}
