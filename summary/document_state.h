// The document's own facts: the Base Directory its names are relative to, the summary file it is
// called after, and whether it holds unsaved changes. Each changes only through its setter; the
// window, which shows the first two, is told of every setting of them through the listener it
// installs, so what it shows never disagrees with the facts. The third tells nobody: the commands
// read it when they need it.
#ifndef VELMORA_SUMMARY_DOCUMENT_STATE_H
#define VELMORA_SUMMARY_DOCUMENT_STATE_H

#include "common/paths.h"

extern const char kUntitledName[];  // "untitled.md5"

const char* BaseDirectory();  // "" while none is set
const char* SummaryPath();    // "" before the first document
bool IsModified();

void SetBaseDirectory(const char* directory);
void SetSummaryPath(const char* path);
void SetModified(bool modified);

struct DocumentListener {
  void (*baseDirectoryChanged)();
  void (*summaryPathChanged)();
};
void InstallDocumentListener(const DocumentListener* listener);

#endif
