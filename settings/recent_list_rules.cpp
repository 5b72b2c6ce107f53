#include "settings/recent_list_rules.h"

#include <cstdlib>
#include <cstring>

#include "common/bounded_text.h"

namespace {

char* CopyOfText(const char* text) {
  const size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (copy != nullptr) std::memcpy(copy, text, size);
  return copy;
}

int FindRecentPath(const RecentList* list, const char* path, TextCompareFn compare) {
  for (int i = 0; i < list->count; ++i) {
    if (compare(list->paths[i], path) == 0) return i;
  }
  return -1;
}

// Moves the entry at position to the front; the ones before it move one place back.
void MoveToFront(RecentList* list, int position) {
  char* moved = list->paths[position];
  for (int i = position; i > 0; --i) list->paths[i] = list->paths[i - 1];
  list->paths[0] = moved;
}

}  // namespace

void ClearRecentList(RecentList* list) {
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    if (i < list->count) std::free(list->paths[i]);
    list->paths[i] = nullptr;
  }
  list->count = 0;
}

bool AddRecentPath(RecentList* list, const char* path, TextCompareFn compare) {
  if (compare == nullptr) compare = AsciiCaseCompare;
  const int found = FindRecentPath(list, path, compare);
  if (found == 0) return false;
  if (found > 0) {
    MoveToFront(list, found);
    return true;
  }
  char* copy = CopyOfText(path);
  if (copy == nullptr) return false;
  if (list->count == kMaxRecentFiles) {
    --list->count;
    std::free(list->paths[list->count]);
    list->paths[list->count] = nullptr;
  }
  list->paths[list->count] = copy;
  ++list->count;
  MoveToFront(list, list->count - 1);
  return true;
}

bool AppendRecentPath(RecentList* list, const char* path) {
  if (path[0] == '\0' || list->count >= kMaxRecentFiles) return false;
  char* copy = CopyOfText(path);
  if (copy == nullptr) return false;
  list->paths[list->count++] = copy;
  return true;
}

void FormatRecentMenuText(int index, const char* path, char* out, size_t outSize) {
  if (outSize == 0) return;
  if (!FormatText(out, outSize, "&%d ", index + 1)) return;
  size_t length = std::strlen(out);
  for (const char* p = path; *p != '\0'; ++p) {
    // An '&' is written as a pair or not at all, so the cut never leaves a lone mnemonic.
    const size_t needed = (*p == '&') ? 2 : 1;
    if (length + needed >= outSize) break;
    if (*p == '&') out[length++] = '&';
    out[length++] = *p;
  }
  out[length] = '\0';
}
