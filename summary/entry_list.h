// The document's entries: SummaryEntry records in list order, shown by EntryList, a list that
// holds only their count and the selection and asks for what it draws.
#ifndef VELMORA_SUMMARY_ENTRY_LIST_H
#define VELMORA_SUMMARY_ENTRY_LIST_H

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "summary/entry_record.h"

enum { kColumnCount = 4 };

extern int SortColumn;  // -1 before the first sort
extern bool SortAscending;

void InstallEntryColumns(HWND list);
void InstallStateImages(HWND list);

// False, with the entries as they were, when memory ran out.
bool AppendEntry(const char* name, const char* digest, int status, int32_t sizeKb);
// Tests only: records beyond the limit are refused as if memory had run out.
void LimitEntryRecordsForTests(int limit);
SummaryEntry* GetEntry(int index);
void SetEntryStatus(int index, int status);
void SetEntrySize(int index, int32_t sizeKb);
void SetEntryDigest(int index, const char* digest);
void ClearEntries();
// Tells the list how many entries there are; while a long operation holds its changes,
// appending leaves that to the next refresh.
void SyncEntryCount();
// Whether the records not yet counted by the control would show as rows, rather than only
// change its scroll bar.
bool NewEntriesInSight();
// Whether the records not yet counted by the control would change how its vertical scroll bar
// looks: false once the list shows its top row and the thumb is at its shortest.
bool NewCountChangesScrollBar();
void SortEntries(int column);
// True while a sort puts the selection back on the moved entries: the items' change
// notifications then tell nothing new.
bool IsRestoringSelection();

int EntryCount();
int FirstSelectedEntry();
int NextSelectedEntry(int after);
// The current index of an entry's item, found by its record (a sort may have moved it); -1 if
// gone. The hint, where the item was last seen, answers at once when nothing has moved.
int FindEntryIndex(const SummaryEntry* entry, int hint = -1);
// Whether an entry of exactly this name is listed (answered from an index kept in step with
// every append, removal and clear).
bool IsNameListed(const char* name);
int ListedNameCount();
// Records allocated and not yet released; equals EntryCount() unless one leaked.
int LiveEntryRecords();
// Removes one item and releases its record; false when the list refused.
bool RemoveEntry(int index);
// A column text of an entry, as the list shows it, into a bounded buffer.
void GetEntryText(int index, int column, char* text, int size);
// The list's questions: what to draw for an item (text and state image), and which entry's
// name starts with what the user typed.
LRESULT AnswerEntryDisplayInfo(NMLVDISPINFOA* info);
// The same in wide characters, the format the list is asked to use: its ANSI request holds 260
// bytes of a cell, too few for a name of 260 characters in UTF-8.
LRESULT AnswerEntryDisplayInfoW(NMLVDISPINFOW* info);
// The first entry from start on (all round with LVFI_WRAP) whose name equals the text
// (LVFI_STRING) or starts with it (LVFI_PARTIAL), letter case aside; -1 if none.
int FindEntryByName(const char* wanted, unsigned flags, int start);
LRESULT AnswerFindRequest(const NMHDR* header);
// The locale's thousands separator, fetched once.
const char* ThousandsSeparator();

#endif
