// Reading a summary file into the entries and writing the entries out as one.
#ifndef VELMORA_SUMMARY_SUMMARY_FILE_H
#define VELMORA_SUMMARY_SUMMARY_FILE_H

#include <cstddef>

#include "summary/summary_line.h"

// Appends the summary's entries and sets the document's kind of digest (see summary_reader.h)
// and its unread line count. False when the file could not be opened ("Cannot open MD5 file"
// has been shown), when its kind cannot be computed here ("SHA-256 is not available on this
// system": nothing appended, the document's kind unchanged), or when memory ran out.
bool ReadSummaryFile(const char* path);
// Whether the kind of digest the summary holds can be computed here; false after telling the
// user ("SHA-256 is not available on this system"), so that the document can stay as it is.
bool SummaryKindUsable(const char* path);
// Replaces the file only once every byte is safely on disk; clears the modified state on
// success ("Cannot write to output file" has been shown otherwise).
bool WriteSummaryFile(const char* path);

// One entry as the writer's line, ending in CR LF; returns its length.
size_t FormatEntryLine(int index, char line[kSummaryLineSize]);

// Relative name under the Base Directory; shows the internal-error box and gives false when the
// path is outside it.
bool RelativeToBase(const char* path, char* relative);

#endif
