// The entry list control: a virtual list view that holds only the entries' count and the
// selection, and asks for what it draws. It follows the entries through the listener it
// installs, and answers the control's questions from them.
#ifndef VELMORA_APP_ENTRY_VIEW_H
#define VELMORA_APP_ENTRY_VIEW_H

#include <windows.h>

#include <commctrl.h>

#include "digest/digest_kind.h"
#include "summary/entries.h"

extern int SortColumn;  // -1 before the first sort
extern bool SortAscending;

void InstallEntryView();
// The columns, the default width (a column without a stored width) at the window's DPI.
void InstallEntryColumns(HWND list, int dpi);
// The status pictures drawn for the DPI; a list that had some drops them.
void InstallStateImages(HWND list, int dpi);
// The digest column for a kind: its title ("SHA-256 Summary") and, unless the user set its width,
// a width that shows the kind's whole digest at dpi (MD5's is the default width).
void ApplyDigestColumn(HWND list, DigestKind kind, int dpi);
// Every column's width from one DPI to another.
void RescaleColumnWidths(HWND list, int fromDpi, int toDpi);
// The columns' widths as the user left them.
void ReadColumnWidths(int widths[kColumnCount]);

// Tells the list how many entries there are; while a long operation holds its changes,
// appending leaves that to the next refresh.
void SyncEntryCount();
// Whether the records not yet counted by the control would show as rows, rather than only
// change its scroll bar.
bool NewEntriesInSight();
// Whether the records not yet counted by the control would change how its vertical scroll bar
// looks: false once the list shows its top row and the thumb is at its shortest.
bool NewCountChangesScrollBar();
// Sorts by a column (the same column again turns the order round); the selection and the
// focus stay with their entries.
void SortEntries(int column);
// True while a sort puts the selection back on the moved entries: the items' change
// notifications then tell nothing new.
bool IsRestoringSelection();

int FirstSelectedEntry();
int NextSelectedEntry(int after);

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

#endif
