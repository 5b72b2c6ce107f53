// Reading a summary file into the entry list and writing the list out as one.
#ifndef VELMORA_SUMMARY_SUMMARY_FILE_H
#define VELMORA_SUMMARY_SUMMARY_FILE_H

// False when the file could not be opened ("Cannot open MD5 file" has been shown).
bool ReadSummaryFile(const char* path);
// Replaces the file only once every byte is safely on disk; clears ModifiedFlag on success.
bool WriteSummaryFile(const char* path);

// Relative name under BaseDirectory; shows the internal-error box and gives false when the
// path is outside it.
bool RelativeToBase(const char* path, char* relative);

#endif
