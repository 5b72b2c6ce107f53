// The document's own facts: the Base Directory its names are relative to, the summary file it is
// called after, whether it holds unsaved changes, how many lines of that file it could not read,
// and the kind of digest its entries hold. Each changes only through its setter; the window,
// which shows the first two and the kind, is told of every setting of them through the listener
// it installs, so what it shows never disagrees with the facts. The others tell nobody: the
// commands read them when they need them.
#ifndef VELMORA_SUMMARY_DOCUMENT_STATE_H
#define VELMORA_SUMMARY_DOCUMENT_STATE_H

#include "common/paths.h"
#include "digest/digest_kind.h"

// The name of a document never saved, after its kind: "untitled.md5", "untitled.sha256".
const char* UntitledName();
// Whether path is such a name, of any kind.
bool IsUntitledName(const char* path);

const char* BaseDirectory();  // "" while none is set
const char* SummaryPath();    // "" before the first document
bool IsModified();
// Lines of the summary file the document was read from that are in it but not in the entries
// (they did not fit): a save to that file would drop them.
int UnreadLineCount();
// What the entries' digests are, and what adding and verifying read files into; MD5 until set.
DigestKind DocumentDigestKind();

void SetBaseDirectory(const char* directory);
void SetSummaryPath(const char* path);
void SetModified(bool modified);
void SetUnreadLineCount(int lines);
// An untitled document is renamed after its new kind.
void SetDocumentDigestKind(DigestKind kind);

struct DocumentListener {
  void (*baseDirectoryChanged)();
  void (*summaryPathChanged)();
  void (*digestKindChanged)();
};
void InstallDocumentListener(const DocumentListener* listener);

#endif
