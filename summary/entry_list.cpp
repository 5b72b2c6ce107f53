#include "summary/entry_list.h"

#include <commctrl.h>

#include <cstdlib>

#include "app/app_state.h"
#include "app/screen_refresh.h"
#include "common/bounded_text.h"
#include "resources/resource.h"
#include "summary/name_index.h"
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
int LiveRecords = 0;  // records allocated and not yet released: every one belongs to an item

SummaryEntry* NewRecord() {
  auto* entry = static_cast<SummaryEntry*>(std::calloc(1, sizeof(SummaryEntry)));
  if (entry) ++LiveRecords;
  return entry;
}

void ReleaseRecord(SummaryEntry* entry) {
  if (!entry) return;
  --LiveRecords;
  std::free(entry);
}


void SetItemText(int index, int column, const char* text) {
  LVITEMA item;
  ZeroMemory(&item, sizeof item);
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text);
  SendMessageA(EntryList, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  NoteListChanged();
}

int CALLBACK CompareForSort(LPARAM first, LPARAM second, LPARAM) {
  return CompareEntries(reinterpret_cast<const SummaryEntry*>(first),
                        reinterpret_cast<const SummaryEntry*>(second), SortColumn, SortAscending);
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

void AppendEntry(const char* name, const char* digest, int status, int32_t sizeKb) {
  SummaryEntry* entry = NewRecord();
  if (!entry) return;
  CopyText(entry->name, sizeof entry->name, name);
  CopyText(entry->digest, sizeof entry->digest, digest);
  entry->status = status;
  entry->sizeKb = sizeKb;
  LVITEMA item;
  ZeroMemory(&item, sizeof item);
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = EntryCount();
  item.pszText = entry->name;
  item.lParam = reinterpret_cast<LPARAM>(entry);
  int index = static_cast<int>(
      SendMessageA(EntryList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) {
    ReleaseRecord(entry);
    return;
  }
  ListedNames.Add(entry->name);
  NoteListChanged();
  SetItemText(index, kColumnDigest, entry->digest);
  SetEntryStatus(index, status);
  SetEntrySize(index, sizeKb);
  ModifiedFlag = true;
}

SummaryEntry* GetEntry(int index) {
  if (!EntryList) return nullptr;
  LVITEMA item;
  ZeroMemory(&item, sizeof item);
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!SendMessageA(EntryList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<SummaryEntry*>(item.lParam);
}

void SetEntryStatus(int index, int status) {
  LVITEMA item;
  ZeroMemory(&item, sizeof item);
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(status + 1);
  SendMessageA(EntryList, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
  SetItemText(index, kColumnStatus, StatusText(status));
  if (SummaryEntry* entry = GetEntry(index)) entry->status = status;
}

void SetEntrySize(int index, int32_t sizeKb) {
  char text[64];
  FormatSizeText(sizeKb, ThousandsSeparator(), text, sizeof text);
  SetItemText(index, kColumnSize, text);
  if (SummaryEntry* entry = GetEntry(index)) entry->sizeKb = sizeKb;
}

void SetEntryDigest(int index, const char* digest) {
  SummaryEntry* entry = GetEntry(index);
  if (entry) CopyText(entry->digest, sizeof entry->digest, digest);
  SetItemText(index, kColumnDigest, entry ? entry->digest : digest);
}

void ClearEntries() {
  if (!EntryList) return;
  for (int index = EntryCount() - 1; index >= 0; --index) ReleaseRecord(GetEntry(index));
  SendMessageA(EntryList, LVM_DELETEALLITEMS, 0, 0);
  ListedNames.Clear();
  NoteListChanged();
}

void SortEntries(int column) {
  if (column == SortColumn) {
    SortAscending = !SortAscending;
  } else {
    SortColumn = column;
    SortAscending = true;
  }
  SendMessageA(EntryList, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(CompareForSort));
  NoteListChanged();
}

bool IsNameListed(const char* name) { return ListedNames.Contains(name); }

int ListedNameCount() { return static_cast<int>(ListedNames.Count()); }

int LiveEntryRecords() { return LiveRecords; }

bool RemoveEntry(int index) {
  SummaryEntry* entry = GetEntry(index);
  if (!SendMessageA(EntryList, LVM_DELETEITEM, index, 0)) return false;
  if (entry) ListedNames.Remove(entry->name);
  ReleaseRecord(entry);
  NoteListChanged();
  return true;
}

int EntryCount() {
  return EntryList ? static_cast<int>(SendMessageA(EntryList, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

int FirstSelectedEntry() { return NextSelectedEntry(-1); }

int NextSelectedEntry(int after) {
  if (!EntryList) return -1;
  return static_cast<int>(
      SendMessageA(EntryList, LVM_GETNEXTITEM, after, MAKELPARAM(LVNI_SELECTED, 0)));
}

int FindEntryIndex(const SummaryEntry* entry, int hint) {
  if (hint >= 0 && GetEntry(hint) == entry) return hint;
  LVFINDINFOA find;
  ZeroMemory(&find, sizeof find);
  find.flags = LVFI_PARAM;
  find.lParam = reinterpret_cast<LPARAM>(entry);
  return static_cast<int>(
      SendMessageA(EntryList, LVM_FINDITEMA, -1, reinterpret_cast<LPARAM>(&find)));
}

void GetEntryText(int index, int column, char* text, int size) {
  text[0] = '\0';
  LVITEMA item;
  ZeroMemory(&item, sizeof item);
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = size;
  SendMessageA(EntryList, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
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
