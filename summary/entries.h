// The document's entries: SummaryEntry records in list order, with an index of their names. The
// window that shows them is told through the listener it installs of appends, changed records, a
// clear and removals; a sort it asks for, and redraws, itself.
#ifndef VELMORA_SUMMARY_ENTRIES_H
#define VELMORA_SUMMARY_ENTRIES_H

#include <cstdint>

#include "summary/entry_record.h"

enum { kColumnCount = 4 };

struct EntriesListener {
  void (*appended)();           // a record was appended
  void (*changed)(int index);   // the record at index changed
  void (*cleared)();            // every record went
  bool (*removing)(int index);  // the record at index is to go; false: it stays
};
void InstallEntriesListener(const EntriesListener* listener);

// Appends within its scope are told to the listener once, at its end: a summary of many lines
// read in one go would otherwise have its view follow every line.
class AppendBatch {
 public:
  AppendBatch();
  ~AppendBatch();
  AppendBatch(const AppendBatch&) = delete;
  AppendBatch& operator=(const AppendBatch&) = delete;
};

// False, with the entries as they were, when memory ran out. Marks the document modified.
bool AppendEntry(const char* name, const char* digest, int status, int32_t sizeKb);
// Tests only: records beyond the limit are refused as if memory had run out.
void LimitEntryRecordsForTests(int limit);
SummaryEntry* GetEntry(int index);
void SetEntryStatus(int index, int status);
void SetEntrySize(int index, int32_t sizeKb);
void SetEntryDigest(int index, const char* digest);
void ClearEntries();
// Removes one record and releases it; false when there is none or the listener kept it.
bool RemoveEntry(int index);
// Puts the records in the order of a column, keeping the order of equal ones.
void SortEntryRecords(int column, bool ascending);

int EntryCount();
// The current index of an entry, found by its record (a sort may have moved it); -1 if gone.
// The hint, where it was last seen, answers at once when nothing has moved.
int FindEntryIndex(const SummaryEntry* entry, int hint = -1);
// Whether an entry of exactly this name is listed (answered from an index kept in step with
// every append, removal and clear).
bool IsNameListed(const char* name);
int ListedNameCount();
// Records allocated and not yet released; equals EntryCount() unless one leaked.
int LiveEntryRecords();
// A column text of an entry, as the list shows it, into a bounded buffer; "" for no entry.
void GetEntryText(int index, int column, char* text, int size);
// The locale's thousands separator, fetched once.
const char* ThousandsSeparator();

#endif
