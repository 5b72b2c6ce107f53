#include "summary/document_state.h"

#include <cstring>

#include "common/bounded_text.h"

namespace {

char StoredBaseDirectory[kPathTextSize] = "";
char StoredSummaryPath[kPathTextSize] = "";
bool Modified = false;
int UnreadLines = 0;
DigestKind Kind = DigestKind::kMd5;
const DocumentListener* Listener = nullptr;

const char kUntitledStem[] = "untitled.";

}  // namespace

const char* UntitledName() {
  static char names[kDigestKindCount][24];
  char* name = names[static_cast<int>(Kind)];
  if (!name[0]) FormatText(name, sizeof names[0], "%s%s", kUntitledStem, KindInfo(Kind).extension);
  return name;
}

bool IsUntitledName(const char* path) {
  const size_t stem = sizeof kUntitledStem - 1;
  return std::strncmp(path, kUntitledStem, stem) == 0 && KindByExtension(path + stem) != nullptr;
}

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

void SetDocumentDigestKind(DigestKind kind) {
  Kind = kind;
  if (IsUntitledName(StoredSummaryPath)) SetSummaryPath(UntitledName());
  if (Listener && Listener->digestKindChanged) Listener->digestKindChanged();
}

void InstallDocumentListener(const DocumentListener* listener) { Listener = listener; }
