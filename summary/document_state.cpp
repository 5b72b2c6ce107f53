#include "summary/document_state.h"

#include "common/bounded_text.h"

const char kUntitledName[] = "untitled.md5";

namespace {

char StoredBaseDirectory[kPathTextSize] = "";
char StoredSummaryPath[kPathTextSize] = "";
bool Modified = false;
int UnreadLines = 0;
DigestKind Kind = DigestKind::kMd5;
const DocumentListener* Listener = nullptr;

}  // namespace

const char* BaseDirectory() { return StoredBaseDirectory; }

const char* SummaryPath() { return StoredSummaryPath; }

bool IsModified() { return Modified; }

void SetBaseDirectory(const char* directory) {
  if (directory != StoredBaseDirectory) {
    CopyText(StoredBaseDirectory, sizeof StoredBaseDirectory, directory);
  }
  if (Listener) Listener->baseDirectoryChanged();
}

void SetSummaryPath(const char* path) {
  if (path != StoredSummaryPath) CopyText(StoredSummaryPath, sizeof StoredSummaryPath, path);
  if (Listener) Listener->summaryPathChanged();
}

void SetModified(bool modified) { Modified = modified; }

int UnreadLineCount() { return UnreadLines; }

void SetUnreadLineCount(int lines) { UnreadLines = lines; }

DigestKind DocumentDigestKind() { return Kind; }

void SetDocumentDigestKind(DigestKind kind) { Kind = kind; }

void InstallDocumentListener(const DocumentListener* listener) { Listener = listener; }
