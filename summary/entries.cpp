#include "summary/entries.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "common/bounded_text.h"
#include "common/code_pages.h"
#include "summary/document_state.h"
#include "summary/name_index.h"

namespace {

char CachedThousandsSeparator[16] = "";
NameIndex ListedNames;
int LiveRecords = 0;  // records allocated and not yet released: every one belongs to an entry
// The records in list order. The list control holds only their count and the selection, and
// asks for what it draws: appending, changing and sorting entries cost it nothing per item.
std::vector<SummaryEntry*> Entries;
const EntriesListener* Listener = nullptr;

int RecordLimitForTests = -1;  // none
int OpenBatches = 0;
bool AppendHeld = false;  // an append waits for the end of the batch to be told

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

void TellChanged(int index) {
  if (Listener) Listener->changed(index);
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

}  // namespace

void InstallEntriesListener(const EntriesListener* listener) { Listener = listener; }

AppendBatch::AppendBatch() { ++OpenBatches; }

AppendBatch::~AppendBatch() {
  if (--OpenBatches > 0 || !AppendHeld) return;
  AppendHeld = false;
  if (Listener) Listener->appended();
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
  if (OpenBatches > 0) {
    AppendHeld = true;
  } else if (Listener) {
    Listener->appended();
  }
  SetModified(true);
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
  TellChanged(index);
}

void SetEntrySize(int index, int32_t sizeKb) {
  SummaryEntry* entry = GetEntry(index);
  if (!entry) return;
  entry->sizeKb = sizeKb;
  TellChanged(index);
}

void SetEntryDigest(int index, const char* digest) {
  SummaryEntry* entry = GetEntry(index);
  if (!entry) return;
  CopyText(entry->digest, sizeof entry->digest, digest);
  TellChanged(index);
}

void ClearEntries() {
  for (SummaryEntry* entry : Entries) ReleaseRecord(entry);
  Entries.clear();
  ListedNames.Clear();
  if (Listener) Listener->cleared();
}

bool RemoveEntry(int index) {
  SummaryEntry* entry = GetEntry(index);
  if (!entry) return false;
  if (Listener && !Listener->removing(index)) return false;
  Entries.erase(Entries.begin() + index);
  ListedNames.Remove(entry->name);
  ReleaseRecord(entry);
  return true;
}

void SortEntryRecords(int column, bool ascending) {
  std::stable_sort(Entries.begin(), Entries.end(),
                   [column, ascending](const SummaryEntry* a, const SummaryEntry* b) {
                     return CompareEntries(a, b, column, ascending) < 0;
                   });
}

bool IsNameListed(const char* name) { return ListedNames.Contains(name); }

int ListedNameCount() { return static_cast<int>(ListedNames.Count()); }

int LiveEntryRecords() { return LiveRecords; }

int EntryCount() { return static_cast<int>(Entries.size()); }

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

const char* ThousandsSeparator() {
  if (CachedThousandsSeparator[0] == '\0') {
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, CachedThousandsSeparator,
                        sizeof CachedThousandsSeparator)) {
      CachedThousandsSeparator[0] = '\0';
    }
  }
  return CachedThousandsSeparator;
}
